#include "kq/engine/cascade.hpp"

namespace kq::engine {

std::string compose_caption(const Worksheet& sheet) {
  std::string caption;
  compose_caption(sheet, caption);
  return caption;
}

void compose_caption(const Worksheet& sheet, std::string& caption) {
  // The four cells as they stand: whatever text a driver left there shows.
  const std::string& days = sheet.text(Cell::DAYS_ROUNDED_TB);
  const std::string& hours = sheet.text(Cell::HOURS_ROUNDED_TB);
  const std::string& minutes = sheet.text(Cell::MINUTES_DIFFERENCE_ROUNDED_TB);
  const std::string& seconds = sheet.text(Cell::SECONDS_DIFFERENCE_ROUNDED_TB);

  caption.clear();
  caption.reserve(caption_prefix.size() + days.size() + hours.size() + minutes.size() +
                  seconds.size() + 10);
  caption.append(caption_prefix);
  caption.append(days).append("d, ");
  caption.append(hours).append("h, ");
  caption.append(minutes).append("m, ");
  caption.append(seconds).append("s");
}

}  // namespace kq::engine
