#pragma once
// Live mode of kq-cascade: the six stages over the machine's own tick count.

#include <ostream>

namespace kq::tools {

// One cascade round, its caption printed; with follow, a new line each time
// the caption changes, until the process is stopped.
int run_live(std::ostream& out, std::ostream& err, bool follow);

}  // namespace kq::tools
