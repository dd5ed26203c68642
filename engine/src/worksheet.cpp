#include "kq/engine/worksheet.hpp"

namespace kq::engine {

Worksheet::Worksheet() {
  for (std::size_t i = 0; i < cell_count; ++i) {
    cells_[i].assign(cell_initial_text(static_cast<Cell>(i)));
  }
}

}  // namespace kq::engine
