// The C++ library reports misuse of its containers and strings (an index out
// of range, a length beyond the maximum) through these functions. Its own
// versions throw std::logic_error and kin, whose message string type brings
// some 60 KB of string code into the exe; these throw kq::Failure with the
// same message instead. The program catches only std::exception (and its own
// types) anywhere, so nothing tells the two apart. They must be objects of
// the program itself (not of a library) to take the place of the library's.

#include <cstdarg>
#include <cstddef>
#include <cstring>
#include <exception>
#include <new>
#include <typeinfo>

#include "kq/failure.hpp"

namespace __gnu_cxx {
// The library's own formatter of its out-of-range messages (%s, %zu, %%).
int __snprintf_lite(char* buffer, std::size_t size, const char* format, va_list arguments);
}  // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { throw kq::Failure(message); }
void __throw_domain_error(const char* message) { throw kq::Failure(message); }
void __throw_invalid_argument(const char* message) { throw kq::Failure(message); }
void __throw_length_error(const char* message) { throw kq::Failure(message); }
void __throw_out_of_range(const char* message) { throw kq::Failure(message); }
void __throw_runtime_error(const char* message) { throw kq::Failure(message); }
void __throw_range_error(const char* message) { throw kq::Failure(message); }
void __throw_overflow_error(const char* message) { throw kq::Failure(message); }
void __throw_underflow_error(const char* message) { throw kq::Failure(message); }

void __throw_out_of_range_fmt(const char* format, ...) {
  // As the library's own: room for the format and a few numbers and names.
  const std::size_t size = std::strlen(format) + 512;
  char* const message = static_cast<char*>(__builtin_alloca(size));
  va_list arguments;
  va_start(arguments, format);
  __gnu_cxx::__snprintf_lite(message, size, format, arguments);
  va_end(arguments);
  throw kq::Failure(message);
}

}  // namespace std
