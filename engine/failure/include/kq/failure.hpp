#pragma once
// The base of the program's own exceptions: a message in the program's one
// string type. The standard library's message-carrying exceptions
// (std::runtime_error and the rest) keep theirs in a second, older string
// type; on the statically linked Windows exe that alone brings some 60 KB of
// string code along.

#include <exception>
#include <string>
#include <utility>

namespace kq {

class Failure : public std::exception {
 public:
  explicit Failure(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace kq
