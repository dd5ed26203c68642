#include "kq/settings/recording_store.hpp"

#include <utility>

namespace kq::settings {

std::string printable(std::string_view text) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 0xf];
    } else {
      out += c;
    }
  }
  return out;
}

RecordingStore::RecordingStore(Store& inner, AccessSink sink) : inner_(inner), sink_(std::move(sink)) {}

std::string RecordingStore::read(std::string_view app, std::string_view section, std::string_view key,
                                 std::int16_t fallback) {
  std::string text = inner_.read(app, section, key, fallback);
  sink_("read " + printable(key) + " -> " + printable(text));
  return text;
}

void RecordingStore::write(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view text) {
  const std::string line = "write " + printable(key) + " " + printable(text);
  try {
    inner_.write(app, section, key, text);
  } catch (const WriteError&) {
    sink_(line + " -> failed");
    throw;
  }
  sink_(line);
}

std::string RecordingStore::current_section() { return inner_.current_section(); }

}  // namespace kq::settings
