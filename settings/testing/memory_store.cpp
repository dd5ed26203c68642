#include "kq/settings/memory_store.hpp"

#include "kq/settings/recording_store.hpp"

namespace kq::settings {

MemoryStore::MemoryStore(std::string program) : program_(std::move(program)) {}

const MemoryStore::Section* MemoryStore::find_section(std::string_view app, std::string_view section) const {
  const auto found = sections_.find({std::string(app), std::string(section)});
  return found == sections_.end() ? nullptr : &found->second;
}

std::string MemoryStore::read(std::string_view app, std::string_view section, std::string_view key,
                              std::int16_t fallback) {
  if (const Section* values = find_section(app, section)) {
    if (const auto found = values->find(key); found != values->end()) return found->second;
  }
  return std::to_string(fallback);
}

void MemoryStore::write(std::string_view app, std::string_view section, std::string_view key,
                        std::string_view text) {
  if (every_write_fails_ || failing_keys_.contains(key))
    throw WriteError("settings write refused: " + std::string(key));
  sections_[{std::string(app), std::string(section)}].insert_or_assign(std::string(key), std::string(text));
}

std::string MemoryStore::current_section() { return name_without_extension(program_); }

void MemoryStore::set_program(std::string file_name) { program_ = std::move(file_name); }

void MemoryStore::put(std::string_view key, std::string_view text) { put_in(current_section(), key, text); }

void MemoryStore::put_in(std::string_view section, std::string_view key, std::string_view text) {
  sections_[{std::string(application), std::string(section)}].insert_or_assign(std::string(key),
                                                                                std::string(text));
}

void MemoryStore::erase(std::string_view key) {
  const auto found = sections_.find({std::string(application), current_section()});
  if (found == sections_.end()) return;
  if (const auto value = found->second.find(key); value != found->second.end()) found->second.erase(value);
}

std::optional<std::string> MemoryStore::find(std::string_view key) const {
  return find_in(name_without_extension(program_), key);
}

std::optional<std::string> MemoryStore::find_in(std::string_view section, std::string_view key) const {
  if (const Section* values = find_section(application, section)) {
    if (const auto found = values->find(key); found != values->end()) return found->second;
  }
  return std::nullopt;
}

void MemoryStore::garble(std::string_view key, std::string_view text) { put(key, text); }

void MemoryStore::fail_writes_to(std::string_view key) { failing_keys_.emplace(key); }

void MemoryStore::fail_every_write(bool on) { every_write_fails_ = on; }

void MemoryStore::clear_failures() {
  failing_keys_.clear();
  every_write_fails_ = false;
}

std::vector<std::string> MemoryStore::content_lines() const {
  std::vector<std::string> lines;
  if (const Section* values = find_section(application, name_without_extension(program_))) {
    for (const auto& [key, text] : *values) lines.push_back(printable(key) + "=" + printable(text));
  }
  return lines;
}

std::string MemoryStore::dump() const {
  std::string out;
  for (const std::string& line : content_lines()) out += line + "\n";
  return out;
}

}  // namespace kq::settings
