#pragma once
// The standard Windows controls behind a window's visible controls: static
// labels in the design's colours and font, 3-state tick boxes that never
// tick themselves (the shared tick box decides the value), push buttons and
// edit fields, each created with an identifier that its notifications
// carry; lines are painted on the window itself. Hidden controls and timers
// get nothing native: their state lives in the shared control classes only.
// The fonts and brushes the design asks for are made and owned here. They
// hold no state of their own that matters: the window's peer hands user
// actions to the shared classes and shows their state here.

#include <windows.h>

#include <string>
#include <vector>

#include "kq/platform/window.hpp"
#include "units.hpp"

namespace kq::platform::win32 {

class NativeWidgets {
 public:
  NativeWidgets(Window& window, Dpi dpi);
  // The fonts and brushes; the controls go with their parent window.
  ~NativeWidgets();
  NativeWidgets(const NativeWidgets&) = delete;
  NativeWidgets& operator=(const NativeWidgets&) = delete;

  // Creates a native control for every visible control, in tab order (the
  // order Tab walks), as children of the window.
  void create(HWND parent, HINSTANCE instance, HFONT default_font);

  // The shared control whose native control has this identifier, or nullptr.
  Control* control_of(int identifier) const;
  // The native control of a control of this window, or nullptr when it has none.
  HWND native(const Control& control) const;

  // A shared control's text, caption or value shown again.
  void show_state(Control& control);
  // While a field is being shown its new text, its change notification is
  // no user's typing.
  bool showing_text() const { return showing_text_; }
  // What the user typed into a field.
  std::string typed_text(const Control& field) const;

  // WM_CTLCOLORSTATIC: the brush (and colours set into dc) of a label in
  // design colours, or nullptr where the system's own apply.
  HBRUSH colour_static(HDC dc, HWND native) const;
  // The window's visible lines.
  void paint_lines(HDC dc) const;
  // The window moved to a screen of another DPI: every control keeps its
  // place and size in twips, and its font its size in points.
  void change_dpi(Dpi dpi);

 private:
  struct Slot {
    HWND hwnd = nullptr;
    HFONT font = nullptr;   // owned, when the design sets a font
    HBRUSH back = nullptr;  // owned, when the design sets a background
  };
  void fit_tick_box(const Slot& slot, const ControlDesign& design, HFONT font) const;
  int index_of(const Control& control) const;

  Window& window_;
  Dpi dpi_;
  std::vector<Slot> slots_;  // one per control, in design order
  bool showing_text_ = false;
};

}  // namespace kq::platform::win32
