#pragma once
// The settings file, kept byte for byte: rendering an unchanged document gives
// back exactly the bytes it was parsed from, so comments, blank lines, unknown
// lines, other sections, CRLF or CR endings and a byte-order mark all survive
// a write.
//
//   [section]        a header; the name is everything between "[" and the
//                    first unescaped "]", blanks included; blanks around the
//                    brackets are allowed
//   key=value        an entry of the section above it; blanks around key and
//                    value are ignored
//   ; or #           a comment; anything else is an unknown line, kept as is
//
// A line ends at "\n", "\r\n" or a lone "\r" (files saved with old Mac
// endings). Where a section or key appears more than once, the first one
// counts, for reading and for writing alike.
//
// The document is the file's bytes and nothing more: lines are found by
// scanning when asked, so a file of millions of short lines costs no more
// memory than its size.

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

// The value of one key, found without keeping anything of the file.
std::optional<std::string> find_value(std::string_view bytes, std::string_view section, std::string_view key);

class Document {
 public:
  static Document parse(std::string bytes);
  const std::string& render() const { return bytes_; }

  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  // Replaces the first entry of that key in the section, else adds the entry
  // at the end of the section's first block, else adds the section at the
  // end. False when the file already said exactly that.
  bool set(std::string_view section, std::string_view key, std::string_view value);

  std::vector<Entry> entries() const;

 private:
  std::string_view newline() const;

  std::string bytes_;
  std::size_t body_ = 0;  // past the byte-order mark
};

}  // namespace kq::settings::ini
