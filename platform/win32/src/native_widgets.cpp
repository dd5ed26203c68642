#include "native_widgets.hpp"

#include <algorithm>
#include <string>
#include <string_view>

namespace kq::platform::win32 {

namespace {

// Control identifiers start above IDOK and IDCANCEL, which dialog navigation
// sends for Enter and Escape: no control here is a default or cancel button.
constexpr int first_control_id = 100;

HFONT design_font(const Font& wanted, int dpi_y) {
  LOGFONTW log{};
  log.lfHeight = -MulDiv(wanted.points, dpi_y, 72);
  log.lfWeight = wanted.weight;
  log.lfItalic = wanted.italic;
  log.lfUnderline = wanted.underline;
  log.lfStrikeOut = wanted.strikeout;
  log.lfCharSet = static_cast<BYTE>(wanted.charset);
  log.lfQuality = DEFAULT_QUALITY;
  std::wstring face = wide(wanted.face);
  face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  std::copy(face.begin(), face.end(), log.lfFaceName);
  return CreateFontIndirectW(&log);
}

// A tick box's caption must show whole at any DPI: the design's width fits
// it at 96 dpi with little to spare, and the box glyph and the system font do
// not scale in step with twips. Where the caption needs more, the box grows
// to the right (its design, and so every placement, stays as it is).
int tick_box_width(HWND native, HFONT font, std::wstring_view caption, int design_pixels, Dpi dpi) {
  HDC dc = GetDC(native);
  if (dc == nullptr) return design_pixels;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE text{};
  const BOOL measured = GetTextExtentPoint32W(dc, caption.data(), static_cast<int>(caption.size()), &text);
  SelectObject(dc, old);
  ReleaseDC(native, dc);
  if (!measured) return design_pixels;
  const int glyph_and_gap = MulDiv(GetSystemMetrics(SM_CXMENUCHECK) + 8, dpi.x, 96);
  return std::max(design_pixels, static_cast<int>(text.cx) + glyph_and_gap);
}

}  // namespace

NativeWidgets::NativeWidgets(Window& window, Dpi dpi)
    : window_(window), dpi_(dpi), slots_(window.controls().size()) {}

NativeWidgets::~NativeWidgets() {
  for (Slot& slot : slots_) {
    if (slot.font != nullptr) DeleteObject(slot.font);
    if (slot.back != nullptr) DeleteObject(slot.back);
  }
}

void NativeWidgets::create(HWND parent, HINSTANCE instance, HFONT default_font) {
  const auto& controls = window_.controls();
  // Creation order is the order Tab walks, so create in tab order.
  std::vector<int> order;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) order.push_back(i);
  auto rank = [&](int i) {
    int tab = controls[static_cast<std::size_t>(i)]->design().tab_index;
    return tab < 0 ? 1 << 30 : tab;
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });

  const Dpi dpi = dpi_;
  for (int index : order) {
    Control& control = *controls[static_cast<std::size_t>(index)];
    const ControlDesign& design = control.design();
    if (!control.visible()) continue;  // hidden controls live in the shared state only
    const wchar_t* native_class = nullptr;
    std::wstring text;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD ex_style = 0;
    switch (control.kind()) {
      case ControlKind::label:
        native_class = L"STATIC";
        text = wide(static_cast<Label&>(control).caption());
        style |= SS_NOTIFY | (design.centred ? SS_CENTER : SS_LEFT);
        break;
      case ControlKind::tick_box:
        native_class = L"BUTTON";
        text = wide(design.text);
        // Not an automatic box: the shared tick box decides the value.
        style |= BS_3STATE | BS_NOTIFY;
        break;
      case ControlKind::push_button:
        native_class = L"BUTTON";
        text = wide(design.text);
        style |= BS_PUSHBUTTON | BS_NOTIFY;
        break;
      case ControlKind::text_field:
        native_class = L"EDIT";
        text = wide(static_cast<TextField&>(control).text());
        style |= ES_AUTOHSCROLL;
        ex_style |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::line:
      case ControlKind::timer:
        continue;  // painted, or no face at all
    }
    if (control.focusable()) style |= WS_TABSTOP;

    HWND native = CreateWindowExW(
        ex_style, native_class, text.c_str(), style, twips_to_pixels(design.left, dpi.x),
        twips_to_pixels(design.top, dpi.y), twips_to_pixels(design.width, dpi.x),
        twips_to_pixels(design.height, dpi.y), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(first_control_id + index)), instance, nullptr);
    if (native == nullptr) throw Failure("cannot create control " + std::string(design.name));
    Slot& slot = slots_[static_cast<std::size_t>(index)];
    slot.hwnd = native;

    HFONT font = default_font;
    if (design.font) {
      slot.font = design_font(*design.font, dpi.y);
      if (slot.font != nullptr) font = slot.font;
    }
    SendMessageW(native, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.kind() == ControlKind::tick_box) fit_tick_box(slot, design, font);
    if (design.back_colour) slot.back = CreateSolidBrush(colour_ref(*design.back_colour));
    if (control.kind() == ControlKind::tick_box)
      SendMessageW(native, BM_SETCHECK, static_cast<WPARAM>(static_cast<TickBox&>(control).value()), 0);
  }
}

Control* NativeWidgets::control_of(int identifier) const {
  const int index = identifier - first_control_id;
  if (index < 0 || index >= static_cast<int>(slots_.size())) return nullptr;
  return window_.controls()[static_cast<std::size_t>(index)].get();
}

int NativeWidgets::index_of(const Control& control) const {
  const auto& controls = window_.controls();
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i].get() == &control) return static_cast<int>(i);
  throw UnknownControl("control of another window");
}

HWND NativeWidgets::native(const Control& control) const {
  return slots_[static_cast<std::size_t>(index_of(control))].hwnd;
}

void NativeWidgets::show_state(Control& control) {
  HWND native = this->native(control);
  if (native == nullptr) return;
  switch (control.kind()) {
    case ControlKind::label:
      SetWindowTextW(native, wide(static_cast<Label&>(control).caption()).c_str());
      return;
    case ControlKind::tick_box:
      SendMessageW(native, BM_SETCHECK, static_cast<WPARAM>(static_cast<TickBox&>(control).value()), 0);
      return;
    case ControlKind::text_field:
      showing_text_ = true;
      SetWindowTextW(native, wide(static_cast<TextField&>(control).text()).c_str());
      showing_text_ = false;
      return;
    case ControlKind::push_button:
    case ControlKind::line:
    case ControlKind::timer:
      return;
  }
}

std::string NativeWidgets::typed_text(const Control& field) const {
  HWND native = this->native(field);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(native)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(native, text.data(), static_cast<int>(text.size()))));
  return narrow(text);
}

HBRUSH NativeWidgets::colour_static(HDC dc, HWND native) const {
  const Control* control = control_of(GetDlgCtrlID(native));
  if (control == nullptr) return nullptr;
  const ControlDesign& design = control->design();
  const Slot& slot = slots_[static_cast<std::size_t>(index_of(*control))];
  if (design.text_colour) SetTextColor(dc, colour_ref(*design.text_colour));
  if (slot.back != nullptr) {
    SetBkColor(dc, colour_ref(*design.back_colour));
    SetBkMode(dc, OPAQUE);
    return slot.back;
  }
  if (design.text_colour) {
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  return nullptr;
}

void NativeWidgets::paint_lines(HDC dc) const {
  const Dpi dpi = dpi_;
  HPEN pen = nullptr;
  for (const auto& control : window_.controls()) {
    if (control->kind() != ControlKind::line || !control->visible()) continue;
    if (pen == nullptr) pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ before = SelectObject(dc, pen);
    const ControlDesign& line = control->design();
    MoveToEx(dc, twips_to_pixels(line.left, dpi.x), twips_to_pixels(line.top, dpi.y), nullptr);
    LineTo(dc, twips_to_pixels(line.width, dpi.x), twips_to_pixels(line.height, dpi.y));
    SelectObject(dc, before);
  }
  if (pen != nullptr) DeleteObject(pen);
}

void NativeWidgets::change_dpi(Dpi dpi) {
  dpi_ = dpi;
  const auto& controls = window_.controls();
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Slot& slot = slots_[i];
    if (slot.hwnd == nullptr) continue;
    const ControlDesign& design = controls[i]->design();
    // MoveWindow, not SetWindowPos: that one is the keeper's, bound by name
    // and kept out of the import table. Neither changes stacking or focus.
    MoveWindow(slot.hwnd, twips_to_pixels(design.left, dpi_.x), twips_to_pixels(design.top, dpi_.y),
               twips_to_pixels(design.width, dpi_.x), twips_to_pixels(design.height, dpi_.y), TRUE);
    if (design.font) {
      if (HFONT font = design_font(*design.font, dpi_.y)) {
        SendMessageW(slot.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (slot.font != nullptr) DeleteObject(slot.font);
        slot.font = font;
      }
    }
    if (controls[i]->kind() == ControlKind::tick_box)
      fit_tick_box(slot, design, reinterpret_cast<HFONT>(SendMessageW(slot.hwnd, WM_GETFONT, 0, 0)));
  }
}

void NativeWidgets::fit_tick_box(const Slot& slot, const ControlDesign& design, HFONT font) const {
  const int width = twips_to_pixels(design.width, dpi_.x);
  const int fitted = tick_box_width(slot.hwnd, font, wide(design.text), width, dpi_);
  if (fitted == width) return;
  MoveWindow(slot.hwnd, twips_to_pixels(design.left, dpi_.x), twips_to_pixels(design.top, dpi_.y), fitted,
             twips_to_pixels(design.height, dpi_.y), FALSE);
}

}  // namespace kq::platform::win32
