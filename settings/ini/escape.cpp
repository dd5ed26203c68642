#include "kq/settings/ini/escape.hpp"

namespace kq::settings::ini {
namespace {

bool is_control(unsigned char byte) { return byte < 0x20 || byte == 0x7f; }

void append_hex(std::string& out, unsigned char byte) {
  static constexpr char hex[] = "0123456789ABCDEF";
  out += "\\x";
  out += hex[byte >> 4];
  out += hex[byte & 0xf];
}

template <typename MustEscape>
std::string escaped(std::string_view text, MustEscape must_escape) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\\') {
      out += "\\\\";
    } else if (is_control(byte) || must_escape(byte, i, text.size())) {
      append_hex(out, byte);
    } else {
      out += text[i];
    }
  }
  return out;
}

bool at_edge(std::size_t i, std::size_t size) { return i == 0 || i + 1 == size; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string escape_section(std::string_view name) {
  return escaped(name, [](unsigned char byte, std::size_t, std::size_t) { return byte == ']'; });
}

std::string escape_key(std::string_view key) {
  return escaped(key, [](unsigned char byte, std::size_t i, std::size_t size) {
    if (byte == '=') return true;
    if (i == 0 && (byte == ';' || byte == '#' || byte == '[')) return true;
    return byte == ' ' && at_edge(i, size);
  });
}

std::string escape_value(std::string_view value) {
  return escaped(value, [](unsigned char byte, std::size_t i, std::size_t size) {
    return byte == ' ' && at_edge(i, size);
  });
}

std::string unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      if (text[i + 1] == '\\') {
        out += '\\';
        ++i;
        continue;
      }
      if (text[i + 1] == 'x' && i + 3 < text.size()) {
        const int high = hex_digit(text[i + 2]);
        const int low = hex_digit(text[i + 3]);
        if (high >= 0 && low >= 0) {
          out += static_cast<char>(high * 16 + low);
          i += 3;
          continue;
        }
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace kq::settings::ini
