#include "kq/settings/ini/document.hpp"

#include <algorithm>
#include <cstring>
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

struct RawEntry {
  std::string_view key;  // as spelled in the file
  std::string_view value;
};

std::optional<RawEntry> raw_entry(std::string_view text) {
  text = trimmed(text);
  if (text.empty() || text.front() == ';' || text.front() == '#' || text.front() == '[') return std::nullopt;
  const auto equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return RawEntry{trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1))};
}

// Most keys are spelled as they are: those compare without a copy.
bool names(std::string_view spelled, std::string_view key) {
  if (spelled.find('\\') == std::string_view::npos) return spelled == key;
  return unescape(spelled) == key;
}

struct Line {
  std::size_t begin = 0;  // the first byte of its text
  std::size_t end = 0;    // past its text
  std::size_t next = 0;   // past its ending
  std::string_view text;
  bool ended() const { return next > end; }
};

// The lines of a file one after the other, as views into its bytes. The next
// "\r" and "\n" are each looked for once and kept until passed, so a file
// of millions of lines is read at the speed of memchr.
class Lines {
 public:
  Lines(std::string_view bytes, std::size_t from) : bytes_(bytes), at_(from) {}

  bool next(Line& line) {
    if (at_ >= bytes_.size()) return false;
    line.begin = at_;
    const std::size_t stop = std::min(next_of('\r', carriage_return_), next_of('\n', line_feed_));
    if (stop == std::string_view::npos) {
      line.end = line.next = bytes_.size();
    } else {
      line.end = stop;
      line.next = stop + 1;
      if (bytes_[stop] == '\r' && line.next < bytes_.size() && bytes_[line.next] == '\n') ++line.next;
    }
    line.text = bytes_.substr(line.begin, line.end - line.begin);
    at_ = line.next;
    return true;
  }

 private:
  static constexpr std::size_t unknown = std::string_view::npos - 1;

  std::size_t next_of(char wanted, std::size_t& kept) const {
    if (kept == std::string_view::npos) return kept;  // none left
    if (kept == unknown || kept < at_) {
      const void* found = std::memchr(bytes_.data() + at_, wanted, bytes_.size() - at_);
      kept = found == nullptr ? std::string_view::npos
                              : static_cast<std::size_t>(static_cast<const char*>(found) - bytes_.data());
    }
    return kept;
  }

  std::string_view bytes_;
  std::size_t at_;
  std::size_t carriage_return_ = unknown;
  std::size_t line_feed_ = unknown;
};

// The bytes with [at, at + length) replaced, built anew at their exact size:
// growing the string in place could reserve twice the file's size.
std::string spliced(std::string_view bytes, std::size_t at, std::size_t length, std::string_view insert) {
  std::string out;
  out.reserve(bytes.size() - length + insert.size());
  out.append(bytes.substr(0, at));
  out.append(insert);
  out.append(bytes.substr(at + length));
  return out;
}

std::size_t body_start(std::string_view bytes) {
  return bytes.starts_with(byte_order_mark) ? byte_order_mark.size() : 0;
}

std::optional<Line> find_header(std::string_view bytes, std::string_view section) {
  Lines lines(bytes, body_start(bytes));
  for (Line line; lines.next(line);) {
    if (const auto name = header_name(line.text); name && *name == section) return line;
  }
  return std::nullopt;
}

std::optional<Line> find_entry(std::string_view bytes, std::string_view section, std::string_view key) {
  bool inside = false;
  Lines lines(bytes, body_start(bytes));
  for (Line line; lines.next(line);) {
    if (const auto name = header_name(line.text)) {
      inside = *name == section;
    } else if (inside) {
      if (const auto entry = raw_entry(line.text); entry && names(entry->key, key)) return line;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> find_value(std::string_view bytes, std::string_view section, std::string_view key) {
  const auto at = find_entry(bytes, section, key);
  if (!at) return std::nullopt;
  return unescape(raw_entry(at->text)->value);
}

Document Document::parse(std::string bytes) {
  Document document;
  document.bytes_ = std::move(bytes);
  document.body_ = body_start(document.bytes_);
  return document;
}

std::string_view Document::newline() const {
  // The file's own first ending, for the lines added to it.
  Line first;
  if (Lines(bytes_, body_).next(first) && first.ended())
    return std::string_view(bytes_).substr(first.end, first.next - first.end);
  return "\n";
}

std::optional<std::string> Document::get(std::string_view section, std::string_view key) const {
  return find_value(bytes_, section, key);
}

bool Document::set(std::string_view section, std::string_view key, std::string_view value) {
  std::string text = escape_key(key) + "=" + escape_value(value);
  if (const auto at = find_entry(bytes_, section, key)) {
    if (at->text == text) return false;
    bytes_ = spliced(bytes_, at->begin, at->end - at->begin, text);
    return true;
  }
  const std::string newline(this->newline());
  if (const auto header = find_header(bytes_, section)) {
    // After the block's last non-blank line, so the blank lines that part it
    // from the next section stay where they are.
    Line last = *header;
    Lines lines(bytes_, header->next);
    for (Line line; lines.next(line) && !header_name(line.text);) {
      if (!trimmed(line.text).empty()) last = line;
    }
    std::string added = last.ended() ? "" : newline;
    added += text;
    added += newline;
    // A lone "\r" just before a "\n" would join it into one ending and lose
    // the blank line that "\n" ends.
    if (added.back() == '\r' && last.next < bytes_.size() && bytes_[last.next] == '\n') added += '\n';
    bytes_ = spliced(bytes_, last.next, 0, added);
    return true;
  }
  std::optional<Line> last;
  Lines lines(bytes_, body_);
  for (Line line; lines.next(line);) last = line;
  std::string added;
  if (last) {
    if (!last->ended()) added += newline;
    if (!trimmed(last->text).empty()) added += newline;
  }
  added += "[" + escape_section(section) + "]" + newline;
  added += text;
  added += newline;
  bytes_ = spliced(bytes_, bytes_.size(), 0, added);
  return true;
}

std::vector<Entry> Document::entries() const {
  std::vector<Entry> found;
  std::optional<std::string> section;
  Lines lines(bytes_, body_);
  for (Line line; lines.next(line);) {
    if (auto name = header_name(line.text)) {
      section = std::move(name);
    } else if (const auto entry = raw_entry(line.text)) {
      found.push_back(Entry{section, unescape(entry->key), unescape(entry->value)});
    }
  }
  return found;
}

}  // namespace kq::settings::ini
