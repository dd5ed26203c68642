#pragma once
// The --script protocol of kq-cascade: one command a line, results on out,
// the first bad line named on err.

#include <istream>
#include <ostream>

namespace kq::tools {

inline constexpr int exit_bad_script = 2;

// Runs every command of the script; returns the exit status (0, or
// exit_bad_script at the first line outside the grammar).
int run_script(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace kq::tools
