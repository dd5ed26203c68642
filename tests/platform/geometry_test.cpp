#include "kq/platform/geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kq::platform {
namespace {

TEST(Geometry, TwipsAndPixelsAtTheScreensDpi) {
  struct Case {
    double twips, dpi;
    int pixels;
  };
  for (auto c : std::vector<Case>{{1440, 96, 96},
                                  {4410, 96, 294},
                                  {350, 96, 23},
                                  {1000, 100, 69},
                                  {-1000, 96, -67},
                                  {1000, 144, 100},
                                  {1000, 192, 133},
                                  {-1000, 96, -67},
                                  {22.5, 96, 2},        // halves away from zero
                                  {-22.5, 96, -2},
                                  {1e30, 96, 30000},    // a stored value of any size
                                  {-1e30, 96, -30000},
                                  {std::numeric_limits<double>::infinity(), 96, 0},
                                  {std::nan(""), 96, 0}})
    EXPECT_EQ(twips_to_pixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
  EXPECT_EQ(pixels_to_twips(69, 100), 994.0f);  // whole twips
  EXPECT_EQ(pixels_to_twips(294, 96), 4410.0f);
  EXPECT_EQ(pixels_to_twips(101, 192), 758.0f);
  // Read back and converted again, a pixel stays the same pixel.
  for (double dpi : {96.0, 100.0, 120.0, 144.0, 192.0, 288.0})
    for (int pixels = -400; pixels <= 400; ++pixels)
      ASSERT_EQ(twips_to_pixels(pixels_to_twips(pixels, dpi), dpi), pixels) << pixels << " at " << dpi;
}

TEST(Geometry, SetTwipsReadBackWhileTheWindowStaysPut) {
  KeptTwips kept;
  // Nothing set yet: the pixels tell.
  EXPECT_EQ(kept.read(Edge::left, 67, 96), 1005.0f);
  kept.set(Edge::left, twips_to_pixels(1000, 96), 1000);
  kept.set(Edge::top, twips_to_pixels(1000.4f, 96), 1000.4f);
  EXPECT_EQ(kept.read(Edge::left, 67, 96), 1000.0f);
  EXPECT_EQ(kept.read(Edge::top, 67, 96), 1000.4f);
  // Each edge on its own: the width was never set.
  EXPECT_EQ(kept.read(Edge::width, 67, 96), 1005.0f);
  // Moved by the user: the pixels are the truth, also when moved back later.
  EXPECT_EQ(kept.read(Edge::left, 68, 96), 1020.0f);
  kept.set(Edge::left, 68, 1020);
  EXPECT_EQ(kept.read(Edge::left, 67, 96), 1005.0f);
  // A value that is no number is never read back.
  kept.set(Edge::height, 0, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(kept.read(Edge::height, 0, 96), 0.0f);
}

TEST(Geometry, ClientAreaIsTheOuterFrameLessItsEdgesButNeverEmpty) {
  FrameExtents frame{1, 1, 20, 1};
  EXPECT_EQ(client_rect({67, 67, 294, 100}, frame), (Rect{68, 87, 292, 79}));
  // The default main window is lower than its title bar: a 1-pixel sliver.
  EXPECT_EQ(client_rect({67, 67, 294, 20}, frame), (Rect{68, 87, 292, 1}));
  EXPECT_EQ(outer_rect({68, 87, 292, 79}, frame), (Rect{67, 67, 294, 100}));
  EXPECT_EQ(design_frame(96), (FrameExtents{3, 3, 22, 3}));
}

TEST(Geometry, TitleBarOnNoScreenComesBackToTheNearestScreen) {
  const std::vector<Rect> screens{{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
  struct Case {
    const char* what;
    Rect outer, expected;
  };
  const int title = 20;
  for (const auto& c : std::vector<Case>{
           {"on screen", {100, 100, 294, 23}, {100, 100, 294, 23}},
           {"title bar partly on screen", {-290, -10, 294, 23}, {-290, -10, 294, 23}},
           {"on the second screen", {2000, 500, 294, 23}, {2000, 500, 294, 23}},
           {"far left", {-5000, 300, 294, 23}, {0, 300, 294, 23}},
           {"far right, nearest is the second", {9000, 300, 294, 23}, {2906, 300, 294, 23}},
           {"below the first screen only", {100, 1050, 294, 23}, {100, 1001, 294, 23}},
           {"title bar just above, body on screen", {100, -20, 294, 400}, {100, 0, 294, 400}},
           {"wider than the screen", {-9000, 10, 5000, 23}, {0, 10, 5000, 23}},
       })
    EXPECT_EQ(bring_title_bar_on_screen(c.outer, title, screens), c.expected) << c.what;
  // No screen known: left alone.
  EXPECT_EQ(bring_title_bar_on_screen({-5000, 0, 10, 10}, title, {}), (Rect{-5000, 0, 10, 10}));
}

}  // namespace
}  // namespace kq::platform
