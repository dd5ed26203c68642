#pragma once
// A store held in memory, for tests and scenario runs. Values can be put in
// "from outside" (as another program or a hand edit would), writes can be made
// to fail, and the content of a section can be listed.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kq/settings/section_name.hpp"
#include "kq/settings/store.hpp"

namespace kq::settings {

class MemoryStore final : public Store {
 public:
  explicit MemoryStore(std::string program = std::string(fallback_program));

  std::string read(std::string_view app, std::string_view section, std::string_view key,
                   std::int16_t fallback) override;
  void write(std::string_view app, std::string_view section, std::string_view key,
             std::string_view text) override;
  // The program name as set, without its extension.
  std::string current_section() override;

  // The file name the program runs under ("KQ-REZ-V1", "renamed.exe").
  void set_program(std::string file_name);

  // From outside, under the application "KQ_REZ": never fails, never recorded.
  void put(std::string_view key, std::string_view text);  // into the current section
  void put_in(std::string_view section, std::string_view key, std::string_view text);
  void erase(std::string_view key);  // from the current section
  std::optional<std::string> find(std::string_view key) const;
  std::optional<std::string> find_in(std::string_view section, std::string_view key) const;

  // Failure injection: a garbled value is put in from outside; a failing
  // write throws WriteError and changes nothing.
  void garble(std::string_view key, std::string_view text = "#garbled#");
  void fail_writes_to(std::string_view key);
  void fail_every_write(bool on = true);
  void clear_failures();

  // The current section as "key=value" lines sorted by key (byte order);
  // control characters in keys and values shown as \xHH.
  std::vector<std::string> content_lines() const;
  std::string dump() const;  // content_lines(), each ended by "\n"

 private:
  using Section = std::map<std::string, std::string, std::less<>>;
  const Section* find_section(std::string_view app, std::string_view section) const;

  std::string program_;
  std::map<std::pair<std::string, std::string>, Section> sections_;  // by (application, section)
  std::set<std::string, std::less<>> failing_keys_;
  bool every_write_fails_ = false;
};

}  // namespace kq::settings
