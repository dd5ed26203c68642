#pragma once
// The settings file as a list of lines, kept byte for byte: rendering an
// unchanged document gives back exactly the bytes it was parsed from, so
// comments, blank lines, unknown lines, other sections, CRLF endings and a
// byte-order mark all survive a write.
//
//   [section]        a header; the name is everything between "[" and the
//                    first unescaped "]", blanks included; blanks around the
//                    brackets are allowed
//   key=value        an entry of the section above it; blanks around key and
//                    value are ignored
//   ; or #           a comment; anything else is an unknown line, kept as is
//
// Where a section or key appears more than once, the first one counts, for
// reading and for writing alike.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kq::settings::ini {

struct Entry {
  std::optional<std::string> section;  // none before the first header
  std::string key;
  std::string value;
};

class Document {
 public:
  static Document parse(std::string_view bytes);
  std::string render() const;

  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  // Replaces the first entry of that key in the section, else adds the entry
  // at the end of the section's first block, else adds the section at the end.
  void set(std::string_view section, std::string_view key, std::string_view value);

  std::vector<Entry> entries() const;

 private:
  struct Line {
    std::string text;    // without its ending
    std::string ending;  // "\n", "\r\n", or "\r" / "" on a last line
  };

  std::optional<std::size_t> find_header(std::string_view section) const;
  std::optional<std::size_t> find_entry(std::string_view section, std::string_view key) const;
  void insert_line(std::size_t at, std::string text);
  const std::string& newline() const;

  std::string byte_order_mark_;
  std::vector<Line> lines_;
  std::string newline_ = "\n";  // the file's own line ending, for new lines
};

}  // namespace kq::settings::ini
