#include "kq/platform/program_icon.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kq::platform {
namespace {

// Both images square, every pixel black or bright green, both letters lit.
TEST(ProgramIcon, SixteenAndTwentyFourPixelGreenOnBlack) {
  ASSERT_EQ(std::size(program_icon), 2u);
  EXPECT_EQ(program_icon[0].size, 16);
  EXPECT_EQ(program_icon[1].size, 24);
  for (const auto& image : program_icon) {
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

std::uint32_t little_endian(const std::vector<unsigned char>& data, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | data.at(at + static_cast<std::size_t>(i));
  return value;
}

// The Windows face shows app.ico, written from the same drawings by
// make_icon.py: a drawing changed without running the script shows here.
TEST(ProgramIcon, TheWindowsIconHoldsTheSameDrawings) {
  const char* source = std::getenv("KQ_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  std::ifstream file(std::string(source) + "/platform/win32/resources/app.ico", std::ios::binary);
  ASSERT_TRUE(file) << "no app.ico";
  const std::vector<unsigned char> ico{std::istreambuf_iterator<char>(file), {}};

  ASSERT_EQ(little_endian(ico, 2, 2), 1u) << "an icon file";
  ASSERT_EQ(little_endian(ico, 4, 2), std::size(program_icon));
  for (std::size_t i = 0; i < std::size(program_icon); ++i) {
    const IconImage& image = program_icon[i];
    const auto size = static_cast<std::size_t>(image.size);
    const std::size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico.at(entry), size);
    EXPECT_EQ(ico.at(entry + 1), size);
    const std::size_t bitmap = little_endian(ico, entry + 12, 4);
    ASSERT_EQ(little_endian(ico, bitmap + 14, 2), 8u) << "256 colours";
    const std::size_t palette = bitmap + little_endian(ico, bitmap, 4);
    std::uint32_t colours = little_endian(ico, bitmap + 32, 4);
    if (colours == 0) colours = 256;
    const std::size_t rows = palette + 4 * colours;
    const std::size_t stride = (size + 3) & ~std::size_t{3};
    const std::size_t mask = rows + stride * size;
    const std::size_t mask_stride = (size + 31) / 32 * 4;
    for (std::size_t y = 0; y < size; ++y) {
      for (std::size_t x = 0; x < size; ++x) {
        // Rows bottom-up; palette entries blue, green, red, unused.
        const std::size_t index = ico.at(rows + (size - 1 - y) * stride + x);
        const std::array<std::uint8_t, 3> shown{ico.at(palette + 4 * index + 2), ico.at(palette + 4 * index + 1),
                                                ico.at(palette + 4 * index)};
        EXPECT_EQ(shown, icon_pixel(image, static_cast<int>(x), static_cast<int>(y)))
            << size << " x " << size << " at " << x << ", " << y;
        const bool transparent = (ico.at(mask + (size - 1 - y) * mask_stride + x / 8) >> (7 - x % 8)) & 1;
        EXPECT_FALSE(transparent) << size << " x " << size << " at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace kq::platform
