// Reads or writes one key through the native store, as the program would,
// under whatever name it was started:
//   probe write KEY TEXT     probe read KEY     probe section
#include <iostream>
#include <string_view>

#include "kq/settings/native.hpp"

int main(int argc, char** argv) {
  using namespace kq::settings;
  const auto store = open_native_store();
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "section" && argc == 2) {
    std::cout << store->current_section() << '\n';
  } else if (command == "read" && argc == 3) {
    std::cout << store->read(application, store->current_section(), argv[2], 0) << '\n';
  } else if (command == "write" && argc == 4) {
    try {
      store->write(application, store->current_section(), argv[2], argv[3]);
    } catch (const WriteError& error) {
      std::cerr << error.what() << '\n';
      return 3;
    }
  } else {
    std::cerr << "usage: probe write KEY TEXT | read KEY | section\n";
    return 2;
  }
  return 0;
}
