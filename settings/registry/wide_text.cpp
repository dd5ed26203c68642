#include "wide_text.hpp"

#include <cstdint>

namespace kq::settings::registry {
namespace {

constexpr char32_t replacement = 0xFFFD;

void append_utf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

void append_utf16(std::wstring& out, char32_t point) {
  if (point < 0x10000) {
    out += static_cast<wchar_t>(point);
  } else {
    point -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (point >> 10));
    out += static_cast<wchar_t>(0xDC00 + (point & 0x3FF));
  }
}

// One code point from text at i (advancing i); surrogates are let through.
char32_t next_point(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t point = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, point = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, point = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, point = lead & 0x07, smallest = 0x10000;
  } else {
    return replacement;
  }
  for (int n = 0; n < extra; ++n) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return replacement;
    point = (point << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  if (point < smallest || point > 0x10FFFF) return replacement;
  return point;
}

}  // namespace

std::wstring to_wide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) append_utf16(out, next_point(text, i));
  return out;
}

std::string from_wide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t point = static_cast<std::uint16_t>(text[i]);
    if (point >= 0xD800 && point < 0xDC00 && i + 1 < text.size()) {
      const char32_t low = static_cast<std::uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    append_utf8(out, point);
  }
  return out;
}

}  // namespace kq::settings::registry
