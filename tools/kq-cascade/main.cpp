// kq-cascade: drives the uptime engine without a window.
//   kq-cascade            one cascade round on the live tick count, caption printed
//   kq-cascade --follow   the caption again each time it changes
//   kq-cascade --script   commands from standard input (see script.hpp)

#include <iostream>
#include <string_view>

#include "live.hpp"
#include "script.hpp"

namespace {

constexpr std::string_view usage =
    "usage: kq-cascade [--follow | --script]\n"
    "  (no option)  print the uptime caption once\n"
    "  --follow     print the caption each time it changes\n"
    "  --script     run engine commands read from standard input\n";

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::string_view option = argc > 1 ? std::string_view(argv[1]) : std::string_view();
  if (argc > 2) {
    std::cerr << usage;
    return kq::tools::exit_bad_script;
  }
  if (option.empty()) return kq::tools::run_live(std::cout, std::cerr, false);
  if (option == "--follow") return kq::tools::run_live(std::cout, std::cerr, true);
  if (option == "--script") return kq::tools::run_script(std::cin, std::cout, std::cerr);
  if (option == "--help" || option == "-h") {
    std::cout << usage;
    return 0;
  }
  std::cerr << usage;
  return kq::tools::exit_bad_script;
}
