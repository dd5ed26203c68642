// The exe's own throw helpers of the C++ library: what a container or string
// misused throws is still a std::exception with the library's own message,
// and memory exhaustion is still std::bad_alloc.
#include <gtest/gtest.h>

#include <cstddef>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "kq/failure.hpp"

namespace {

template <class Misuse>
std::string message_of(Misuse misuse) {
  try {
    misuse();
  } catch (const kq::Failure& failure) {
    return failure.what();
  } catch (const std::exception&) {
    return "(another std::exception)";
  }
  return "(nothing thrown)";
}

TEST(LibraryThrows, MisuseThrowsAFailureWithTheLibrarysMessage) {
  std::vector<int> one(1);
  const std::string empty;
  std::vector<char> small;
  const struct {
    std::string message;
    std::string expected;
  } cases[] = {
      // formatted, with numbers and a name
      {message_of([&] { (void)one.at(5); }),
       "vector::_M_range_check: __n (which is 5) >= this->size() (which is 1)"},
      {message_of([&] { (void)empty.substr(3); }),
       "basic_string::substr: __pos (which is 3) > this->size() (which is 0)"},
      // plain
      {message_of([&] { small.reserve(small.max_size() + 1); }), "vector::reserve"},
      {message_of([] { (void)std::string(nullptr); }), "basic_string: construction from null is not valid"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.message, c.expected);
}

TEST(LibraryThrows, TooLargeARequestIsStillBadAlloc) {
  std::allocator<int> allocator;
  const std::size_t most = std::allocator_traits<std::allocator<int>>::max_size(allocator);
  EXPECT_THROW((void)allocator.allocate(most + 1), std::bad_alloc);
  EXPECT_THROW((void)allocator.allocate(static_cast<std::size_t>(-1)), std::bad_array_new_length);
}

}  // namespace
