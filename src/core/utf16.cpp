#include "core/utf16.h"

namespace core {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | code >> 6));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | code >> 12));
    out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | code >> 18));
    out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The code point of the sequence at `text[at]` and its length in bytes, or a
// length of 0 when no valid sequence starts there. Overlong forms and values
// past U+10FFFF are invalid; surrogates in their three-byte form are not.
struct Decoded {
  char32_t code;
  std::size_t length;
};

Decoded decode_utf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u, minimum = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() - at < length) return {0, 0};
  for (std::size_t i = 1; i < length; ++i) {
    if (!is_continuation(byte(i))) return {0, 0};
    code = code << 6 | (byte(i) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF) return {0, 0};
  return {code, length};
}

}  // namespace

std::string utf8_from_utf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00u));
      ++i;
    } else {
      append_utf8(out, unit);  // a lone surrogate keeps its own value
    }
  }
  return out;
}

std::u16string utf16_from_utf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Decoded decoded = decode_utf8(text, at);
    if (decoded.length == 0) {
      out.push_back(kReplacement);
      ++at;
      continue;
    }
    at += decoded.length;
    if (decoded.code < 0x10000) {
      out.push_back(static_cast<char16_t>(decoded.code));
    } else {
      const char32_t offset = decoded.code - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    }
  }
  return out;
}

}  // namespace core
