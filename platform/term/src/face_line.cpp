#include "kq/platform/term/face_line.hpp"

#include <algorithm>

namespace kq::platform::term {

namespace {

bool continues_a_character(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

std::size_t characters(std::string_view text) {
  std::size_t count = 0;
  for (char byte : text)
    if (!continues_a_character(byte)) ++count;
  return count;
}

std::string_view cut_to(std::string_view text, std::size_t room) {
  std::size_t seen = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (continues_a_character(text[at])) continue;
    if (seen == room) return text.substr(0, at);
    ++seen;
  }
  return text;
}

}  // namespace

Output output_kind(bool is_terminal, std::string_view term) {
  if (!is_terminal) return Output::lines;
  return term.empty() || term == "dumb" ? Output::dumb : Output::ansi;
}

std::string_view fit_to_width(std::string_view caption, int columns) {
  if (columns <= 0) return caption;
  auto room = static_cast<std::size_t>(columns - 1);
  if (characters(caption) <= room) return caption;
  // The name before ": " says least: it goes first.
  if (auto colon = caption.find(": "); colon != std::string_view::npos) caption.remove_prefix(colon + 2);
  return cut_to(caption, room);
}

std::string FaceLine::shown() const {
  // Keep the terminal's own title (XTWINOPS push); hide the cursor.
  return output_ == Output::ansi ? "\x1b[22;0t\x1b[?25l" : "";
}

std::string FaceLine::caption(std::string_view caption, int columns) {
  std::string out;
  switch (output_) {
    case Output::lines:
      out.append(caption).append("\n");
      break;
    case Output::dumb: {
      std::string_view line = fit_to_width(caption, columns);
      std::size_t width = characters(line);
      out.append("\r").append(line);
      // No erase sequence here: blanks cover what the last caption left,
      // never reaching the last column either.
      std::size_t covered = drawn_;
      if (columns > 0) covered = std::min(covered, static_cast<std::size_t>(columns - 1));
      if (width < covered) out.append(covered - width, ' ').append("\r").append(line);
      drawn_ = width;
      break;
    }
    case Output::ansi:
      out.append("\r").append(fit_to_width(caption, columns)).append("\x1b[K");
      out.append("\x1b]0;").append(caption).append("\x07");
      break;
  }
  return out;
}

std::string FaceLine::closed() const {
  switch (output_) {
    case Output::lines: return "";
    case Output::dumb: return "\r\n";
    case Output::ansi: return "\x1b[?25h\x1b[23;0t\r\n";  // cursor back, the terminal's title back
  }
  return "";
}

}  // namespace kq::platform::term
