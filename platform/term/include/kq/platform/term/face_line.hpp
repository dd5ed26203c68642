#pragma once
// What the terminal face writes, free of any terminal: the bytes that show
// the caption on one line of a terminal that understands escape sequences,
// of a dumb terminal, or of output that is no terminal at all.

#include <cstddef>
#include <string>
#include <string_view>

namespace kq::platform::term {

enum class Output : unsigned char {
  lines,  // not a terminal (a pipe, a file): one line per caption
  dumb,   // a terminal without escape sequences: redrawn after a carriage return
  ansi,   // a terminal with CSI and OSC: redrawn in place, and the title
};

// The kind of output from whether it is a terminal and its TERM ("dumb",
// empty or unset: dumb).
Output output_kind(bool is_terminal, std::string_view term);

// The caption made to fit a line of `columns` without wrapping: at most
// columns - 1 characters, so the cursor never reaches the last column
// (where some terminals wrap at once). Too long, it loses the name before
// its first ": " ("KQ-DADEDED: "), then its end; cut between characters,
// never inside a UTF-8 sequence. Columns of 0 or less mean unknown: the
// caption whole.
std::string_view fit_to_width(std::string_view caption, int columns);

class FaceLine {
 public:
  explicit FaceLine(Output output) : output_(output) {}

  Output output() const { return output_; }
  // Before the first caption: the cursor hidden, the terminal's title kept.
  std::string shown() const;
  // One caption at the terminal's current width (0: unknown).
  std::string caption(std::string_view caption, int columns);
  // The cursor and the terminal's title back, and the line ended.
  std::string closed() const;

 private:
  Output output_;
  std::size_t drawn_ = 0;  // characters on the line now (dumb terminal)
};

}  // namespace kq::platform::term
