#include "kq/platform/fltk/program_icon.hpp"

#include <gtest/gtest.h>

namespace kq::platform::fltk {
namespace {

// Both images square, every pixel black or bright green, both letters lit.
TEST(ProgramIcon, SixteenAndTwentyFourPixelGreenOnBlack) {
  auto images = program_icon_images();
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].size, 16);
  EXPECT_EQ(images[1].size, 24);
  for (const auto& image : images) {
    ASSERT_EQ(image.rows.size(), static_cast<std::size_t>(image.size));
    int lit_left = 0, lit_right = 0;
    for (int y = 0; y < image.size; ++y) {
      ASSERT_EQ(image.rows[static_cast<std::size_t>(y)].size(), static_cast<std::size_t>(image.size));
      for (int x = 0; x < image.size; ++x) {
        auto rgb = icon_pixel(image, x, y);
        EXPECT_EQ(rgb[0], 0);
        EXPECT_EQ(rgb[2], 0);
        EXPECT_TRUE(rgb[1] == 0 || rgb[1] == 255);
        if (rgb[1] == 255) ++(x < image.size / 2 ? lit_left : lit_right);
      }
    }
    EXPECT_GT(lit_left, image.size) << "K";
    EXPECT_GT(lit_right, image.size) << "Q";
  }
}

}  // namespace
}  // namespace kq::platform::fltk
