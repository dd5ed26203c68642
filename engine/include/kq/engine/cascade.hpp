#pragma once
// The six stages that turn the tick count into the running caption. Each
// stage either runs to its end or throws StageFailure; writes made before the
// failing step stay.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kq/failure.hpp"
#include "kq/engine/worksheet.hpp"

namespace kq::engine {

enum class Stage : std::uint8_t { capture, day, hour, minute, second, display };
std::string_view stage_name(Stage stage);
std::optional<Stage> stage_by_name(std::string_view name);  // "capture" ... "display"

class StageFailure : public Failure {
 public:
  explicit StageFailure(Stage stage);
  Stage stage() const noexcept { return stage_; }

 private:
  Stage stage_;
};

inline constexpr std::string_view caption_prefix = "KQ-DADEDED: ";

void capture_stage(Worksheet& sheet, std::uint64_t tick_count);
void day_stage(Worksheet& sheet);
void hour_stage(Worksheet& sheet);
void minute_stage(Worksheet& sheet);
void second_stage(Worksheet& sheet);

// The running caption from the four whole-unit cells, taken as text.
std::string compose_caption(const Worksheet& sheet);
// The same, written over `caption`: a caller composing it every few
// milliseconds keeps one buffer instead of allocating each time.
void compose_caption(const Worksheet& sheet, std::string& caption);

}  // namespace kq::engine
