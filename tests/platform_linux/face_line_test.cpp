#include "kq/platform/term/face_line.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kq::platform::term {
namespace {

TEST(FaceLine, OutputKindFromTerminalAndTerm) {
  EXPECT_EQ(output_kind(false, "xterm-256color"), Output::lines);
  EXPECT_EQ(output_kind(false, "dumb"), Output::lines);
  EXPECT_EQ(output_kind(true, "xterm-256color"), Output::ansi);
  EXPECT_EQ(output_kind(true, "screen"), Output::ansi);
  EXPECT_EQ(output_kind(true, "dumb"), Output::dumb);
  EXPECT_EQ(output_kind(true, ""), Output::dumb);
}

TEST(FaceLine, CaptionFitsInLessThanTheWidth) {
  const std::string caption = "KQ-DADEDED: 1d, 2h, 3m, 4s";  // 26 characters
  struct Case {
    int columns;
    std::string fitted;
  };
  for (const auto& c : std::vector<Case>{{80, caption},
                                         {27, caption},
                                         {26, "1d, 2h, 3m, 4s"},  // the name goes first
                                         {15, "1d, 2h, 3m, 4s"},
                                         {14, "1d, 2h, 3m, 4"},  // then the end
                                         {2, "1"},
                                         {1, ""},
                                         {0, caption},  // width unknown
                                         {-5, caption}})
    EXPECT_EQ(fit_to_width(caption, c.columns), c.fitted) << c.columns;
  EXPECT_EQ(fit_to_width("KQ-DADEDED: TIMERS DISABLED !!!", 20), "TIMERS DISABLED !!!");
  EXPECT_EQ(fit_to_width("no name here at all", 8), "no name");
  // Characters, not bytes: a UTF-8 sequence is kept whole or dropped whole.
  EXPECT_EQ(fit_to_width("ab\xC3\xA9\xE2\x82\xAC" "cd", 4), "ab\xC3\xA9");
  EXPECT_EQ(fit_to_width("ab\xC3\xA9\xE2\x82\xAC" "cd", 5), "ab\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(fit_to_width("ab\xC3\xA9\xE2\x82\xAC", 6), "ab\xC3\xA9\xE2\x82\xAC");
}

TEST(FaceLine, AnsiTerminalRedrawsInPlaceAndSetsTheTitle) {
  FaceLine line(Output::ansi);
  EXPECT_EQ(line.shown(), "\x1b[22;0t\x1b[?25l");
  EXPECT_EQ(line.caption("KQ-DADEDED: 0d, 0h, 0m, 59s", 20),
            "\r0d, 0h, 0m, 59s\x1b[K\x1b]0;KQ-DADEDED: 0d, 0h, 0m, 59s\x07");
  EXPECT_EQ(line.closed(), "\x1b[?25h\x1b[23;0t\r\n");
}

TEST(FaceLine, DumbTerminalGetsNoEscapeSequences) {
  FaceLine line(Output::dumb);
  std::string all = line.shown();
  EXPECT_EQ(line.caption("KQ-DADEDED: TIMERS DISABLED !!!", 80), "\rKQ-DADEDED: TIMERS DISABLED !!!");
  // A shorter caption: blanks cover the rest, then the line again.
  EXPECT_EQ(line.caption("KQ-DADEDED: 0d, 0h, 1m, 0s", 80),
            "\rKQ-DADEDED: 0d, 0h, 1m, 0s     \rKQ-DADEDED: 0d, 0h, 1m, 0s");
  EXPECT_EQ(line.caption("KQ-DADEDED: 0d, 0h, 1m, 1s", 80), "\rKQ-DADEDED: 0d, 0h, 1m, 1s");
  // Narrowed meanwhile: neither the caption nor the blanks reach the last column.
  EXPECT_EQ(line.caption("KQ-DADEDED: 0d, 0h, 1m, 2s", 20), "\r0d, 0h, 1m, 2s     \r0d, 0h, 1m, 2s");
  line.caption("KQ-DADEDED: 0d, 0h, 1m, 3s", 80);
  EXPECT_EQ(line.caption("KQ", 10), "\rKQ       \rKQ");
  all += line.closed();
  EXPECT_EQ(all.find('\x1b'), std::string::npos);
  EXPECT_EQ(line.closed(), "\r\n");
}

TEST(FaceLine, OtherOutputGetsOneWholeLinePerCaption) {
  FaceLine line(Output::lines);
  EXPECT_EQ(line.shown(), "");
  EXPECT_EQ(line.caption("KQ-DADEDED: 1d, 2h, 3m, 4s", 20), "KQ-DADEDED: 1d, 2h, 3m, 4s\n");
  EXPECT_EQ(line.closed(), "");
}

}  // namespace
}  // namespace kq::platform::term
