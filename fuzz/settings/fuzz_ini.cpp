// The settings file parser: any bytes parse without a crash and render back
// unchanged; setting a value keeps every other entry, reads back, and renders
// a file that parses the same again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "kq/settings/ini/document.hpp"
#include "kq/settings/ini/escape.hpp"

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kq::settings::ini;
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(64);
  const std::string key = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string file = input.ConsumeRemainingBytesAsString();

  require(unescape(escape_section(section)) == section);
  require(unescape(escape_key(key)) == key);
  require(unescape(escape_value(value)) == value);

  const Document original = Document::parse(file);
  require(original.render() == file);

  Document changed = original;
  changed.set(section, key, value);
  const std::string written = changed.render();
  const Document reread = Document::parse(written);
  require(reread.render() == written);
  require(reread.get(section, key) == value);
  for (const Entry& entry : original.entries()) {
    if (!entry.section || (*entry.section == section && entry.key == key)) continue;
    require(reread.get(*entry.section, entry.key) == original.get(*entry.section, entry.key));
  }

  Document again = reread;
  require(!again.set(section, key, value));
  require(again.render() == written);
  return 0;
}
