// kq-scenario: runs the program on the simulated platform from a script on
// standard input and prints the log of what happens on standard output.
// Exit status: 0 when the script ran to its end, 2 for a script mistake.

#include <iostream>

#include "runner.hpp"

int main() {
  std::ios::sync_with_stdio(false);
  kq::scenario::Script script(std::cin);
  try {
    kq::scenario::Runner runner(script, std::cout, std::cerr);
    runner.run();
  } catch (const kq::scenario::ScriptError& error) {
    std::cout.flush();
    std::cerr << "kq-scenario: line " << error.line << ": " << error.message << '\n';
    return 2;
  }
  return 0;
}
