// The functions bound by name reach the same system functions as the import
// table would: the 64-bit tick count, the foreground window, and SetWindowPos
// with its flags passed through and no move or resize of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include "bound_functions.hpp"

namespace kq::platform::win32 {
namespace {

TEST(BoundFunctions, TheTickCountIsTheSystemsSixtyFourBitCount) {
  const ULONGLONG before = GetTickCount64();
  const std::uint64_t bound = system_tick_count();
  const ULONGLONG after = GetTickCount64();
  EXPECT_GE(bound, before);
  EXPECT_LE(bound, after);
}

TEST(BoundFunctions, TheForegroundWindowIsTheSystemsOwn) {
  EXPECT_EQ(system_foreground_window(), GetForegroundWindow());
}

// A plain top-level window of a class of the test's own, never shown.
class Placed : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"KqBoundFunctionsTest";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, window_class.lpszClassName, L"bound", WS_OVERLAPPED, 40, 50, 300, 200,
                              nullptr, nullptr, window_class.hInstance, nullptr);
    ASSERT_NE(window_, nullptr) << "no window (error " << GetLastError() << ")";
    GetWindowRect(window_, &placed_);
  }
  void TearDown() override {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  bool topmost() const { return (GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
  bool where_placed() const {
    RECT now{};
    GetWindowRect(window_, &now);
    return EqualRect(&now, &placed_) != FALSE;
  }

  HWND window_ = nullptr;
  RECT placed_{};
};

TEST_F(Placed, SetWindowPosChangesTheZOrderAndNothingElse) {
  constexpr UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  system_set_window_pos(window_, HWND_TOPMOST, keep);
  EXPECT_TRUE(topmost());
  EXPECT_TRUE(where_placed());
  system_set_window_pos(window_, HWND_NOTOPMOST, keep);
  EXPECT_FALSE(topmost());
  EXPECT_TRUE(where_placed());
}

TEST_F(Placed, SetWindowPosMovesToTheCornerWithoutNoMove) {
  // Without SWP_NOMOVE the zero position it passes takes effect: proof that
  // the flags are the caller's and the coordinates are 0, 0.
  system_set_window_pos(window_, nullptr, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT now{};
  GetWindowRect(window_, &now);
  EXPECT_EQ(now.left, 0);
  EXPECT_EQ(now.top, 0);
  EXPECT_EQ(now.right - now.left, placed_.right - placed_.left);
}

}  // namespace
}  // namespace kq::platform::win32
