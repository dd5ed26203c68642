// What the store keeps in memory for the largest file it accepts: about the
// file's size a few times over, however the file is cut into lines. Counted
// by this test's own operator new, so the figure does not depend on timing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "kq/settings/ini/ini_store.hpp"
#include "kq/settings/keys.hpp"
#include "temp_folder.hpp"

namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

// Each block carries its size in front of it.
constexpr std::size_t header = alignof(std::max_align_t);

void* allocate(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + header));
  if (block == nullptr) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  const std::size_t now = live += size;
  for (std::size_t high = peak; now > high && !peak.compare_exchange_weak(high, now);) {
  }
  return block + header;
}

void release(void* pointer) noexcept {
  if (pointer == nullptr) return;
  auto* block = static_cast<unsigned char*>(pointer) - header;
  live -= *reinterpret_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* pointer) noexcept { release(pointer); }
void operator delete[](void* pointer) noexcept { release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { release(pointer); }

namespace kq::settings::ini {
namespace {

TEST(IniStoreMemory, TheLargestFileCostsAFewTimesItsSizeHoweverItIsCut) {
  const std::pair<const char*, std::string> files[] = {
      {"blank lines", std::string(max_file_size - 256, '\n')},
      {"one long line", "[KQ-REZ-V1]\nMAIN_Top=1\n;" + std::string(max_file_size - 256, 'x') + "\n"},
      {"short entries", [] {
         std::string bytes = "[KQ-REZ-V1]\n";
         while (bytes.size() + 8 < max_file_size - 256) bytes += "a=1\nb=2\n";
         return bytes;
       }()},
  };
  for (const auto& [what, bytes] : files) {
    SCOPED_TRACE(what);
    testing::TempFolder temp;
    std::filesystem::create_directories(temp.path() / "KQ_REZ");
    testing::put_file(temp.path() / "KQ_REZ" / "settings.ini", bytes);
    IniOptions options;
    options.config_folder = temp.path();
    options.program_name = [] { return std::string("KQ-REZ-V1"); };
    options.report = [](std::string_view) {};
    IniStore ini(std::move(options));
    Settings settings(ini);

    const std::size_t before = live;
    peak = before;
    // One read and one write: each goes through the whole file.
    EXPECT_EQ(settings.read_placement(MAIN_Left), 1000);
    settings.write_placement(MAIN_Left, 1440);
    EXPECT_EQ(settings.read_placement(MAIN_Left), 1440);

    const std::size_t used = peak - before;
    RecordProperty(std::string("peak_bytes_") + what, std::to_string(used));
    EXPECT_LE(used, 3 * max_file_size) << used << " bytes at the peak";
  }
}

}  // namespace
}  // namespace kq::settings::ini
