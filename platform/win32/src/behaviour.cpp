#include "behaviour.hpp"

#include <windows.h>

#include <string>

namespace kq::platform::win32 {

const FailureSink* debug_output() {
  static const FailureSink sink = [](std::string_view what) { OutputDebugStringA(std::string(what).c_str()); };
  return &sink;
}

}  // namespace kq::platform::win32
