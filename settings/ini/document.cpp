#include "kq/settings/ini/document.hpp"

#include <utility>

#include "kq/settings/ini/escape.hpp"

namespace kq::settings::ini {
namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::string> header_name(std::string_view text) {
  text = trimmed(text);
  if (text.empty() || text.front() != '[') return std::nullopt;
  std::size_t close = 1;
  while (close < text.size() && text[close] != ']') close += text[close] == '\\' ? 2 : 1;
  if (close >= text.size() || close + 1 != text.size()) return std::nullopt;
  return unescape(text.substr(1, close - 1));
}

struct KeyValue {
  std::string key;
  std::string value;
};

std::optional<KeyValue> key_value(std::string_view text) {
  text = trimmed(text);
  if (text.empty() || text.front() == ';' || text.front() == '#' || text.front() == '[') return std::nullopt;
  const auto equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyValue{unescape(trimmed(text.substr(0, equals))), unescape(trimmed(text.substr(equals + 1)))};
}

}  // namespace

Document Document::parse(std::string_view bytes) {
  Document document;
  if (bytes.starts_with(byte_order_mark)) {
    document.byte_order_mark_ = byte_order_mark;
    bytes.remove_prefix(byte_order_mark.size());
  }
  while (!bytes.empty()) {
    const auto newline = bytes.find('\n');
    std::string_view text = bytes.substr(0, newline);
    Line line;
    if (newline != std::string_view::npos) {
      line.ending = "\n";
      bytes.remove_prefix(newline + 1);
    } else {
      bytes = {};
    }
    if (text.ends_with('\r')) {
      line.ending.insert(0, "\r");
      text.remove_suffix(1);
    }
    line.text = text;
    document.lines_.push_back(std::move(line));
  }
  if (!document.lines_.empty() && document.lines_.front().ending == "\r\n") document.newline_ = "\r\n";
  return document;
}

std::string Document::render() const {
  std::string out = byte_order_mark_;
  for (const Line& line : lines_) {
    out += line.text;
    out += line.ending;
  }
  return out;
}

const std::string& Document::newline() const { return newline_; }

std::optional<std::size_t> Document::find_header(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = header_name(lines_[i].text); name && *name == section) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> Document::find_entry(std::string_view section, std::string_view key) const {
  bool inside = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = header_name(lines_[i].text)) {
      inside = *name == section;
    } else if (inside) {
      if (const auto entry = key_value(lines_[i].text); entry && entry->key == key) return i;
    }
  }
  return std::nullopt;
}

std::optional<std::string> Document::get(std::string_view section, std::string_view key) const {
  const auto at = find_entry(section, key);
  if (!at) return std::nullopt;
  return key_value(lines_[*at].text)->value;
}

void Document::insert_line(std::size_t at, std::string text) {
  // The line before may be a last line without a full ending.
  if (at > 0) {
    std::string& before = lines_[at - 1].ending;
    if (before.empty()) before = newline();
    if (before == "\r") before = "\r\n";
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline()});
}

void Document::set(std::string_view section, std::string_view key, std::string_view value) {
  std::string text = escape_key(key) + "=" + escape_value(value);
  if (const auto at = find_entry(section, key)) {
    lines_[*at].text = std::move(text);
    return;
  }
  if (const auto header = find_header(section)) {
    // After the block's last non-blank line, so the blank lines that part it
    // from the next section stay where they are.
    std::size_t last = *header;
    for (std::size_t i = *header + 1; i < lines_.size() && !header_name(lines_[i].text); ++i) {
      if (!trimmed(lines_[i].text).empty()) last = i;
    }
    insert_line(last + 1, std::move(text));
    return;
  }
  if (!lines_.empty() && !trimmed(lines_.back().text).empty()) insert_line(lines_.size(), "");
  insert_line(lines_.size(), "[" + escape_section(section) + "]");
  insert_line(lines_.size(), std::move(text));
}

std::vector<Entry> Document::entries() const {
  std::vector<Entry> found;
  std::optional<std::string> section;
  for (const Line& line : lines_) {
    if (auto name = header_name(line.text)) {
      section = std::move(name);
    } else if (auto entry = key_value(line.text)) {
      found.push_back(Entry{section, std::move(entry->key), std::move(entry->value)});
    }
  }
  return found;
}

}  // namespace kq::settings::ini
