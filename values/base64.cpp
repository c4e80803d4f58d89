#include "values/base64.h"

#include <cstddef>

namespace marrowel {

namespace {

constexpr char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t LINE_LENGTH = 64;
constexpr std::size_t STAGING_SIZE = 1024;
constexpr char LINE_END[] = "\r\n";

struct DecodeTable {
  signed char values[128];
  constexpr DecodeTable() : values() {
    for (auto& value : values) value = -1;
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(ALPHABET[i])] = static_cast<signed char>(i);
  }
};
constexpr DecodeTable DECODE_TABLE;

// Appends `count` staged characters as 64-character lines, each followed by
// CR LF, and a final shorter line (if any) without one.
void appendLines(const char* staged, std::size_t count, std::string& out) {
  std::size_t start = 0;
  for (; start + LINE_LENGTH <= count; start += LINE_LENGTH) {
    out.append(staged + start, LINE_LENGTH);
    out.append(LINE_END, 2);
  }
  out.append(staged + start, count - start);
}

}  // namespace

// The browser side expects exactly the layout this staging produces, including
// its one oddity: a text of more than 1024 characters whose length leaves 64
// when divided by 1024 ends with a full line and no CR LF.
std::string base64Encode(const unsigned char* data, int length) {
  std::string out;
  if (data == nullptr || length <= 0) return out;
  const auto size = static_cast<std::size_t>(length);
  out.reserve(2 * size);

  char staging[STAGING_SIZE];
  std::size_t staged = 0;
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    if (staged == STAGING_SIZE) {
      appendLines(staging, staged, out);
      staged = 0;
    }
    const unsigned group = (unsigned(data[i]) << 16) | (unsigned(data[i + 1]) << 8) | data[i + 2];
    staging[staged++] = ALPHABET[(group >> 18) & 0x3F];
    staging[staged++] = ALPHABET[(group >> 12) & 0x3F];
    staging[staged++] = ALPHABET[(group >> 6) & 0x3F];
    staging[staged++] = ALPHABET[group & 0x3F];
  }
  if (staged == STAGING_SIZE) {
    appendLines(staging, staged, out);
    staged = 0;
  }

  const std::size_t rest = size - i;
  if (rest > 0) {
    const unsigned group = (unsigned(data[i]) << 16) | (rest == 2 ? unsigned(data[i + 1]) << 8 : 0u);
    staging[staged++] = ALPHABET[(group >> 18) & 0x3F];
    staging[staged++] = ALPHABET[(group >> 12) & 0x3F];
    staging[staged++] = rest == 2 ? ALPHABET[(group >> 6) & 0x3F] : '=';
    staging[staged++] = '=';
  }

  if (staged > LINE_LENGTH) {
    appendLines(staging, staged, out);
  } else {
    out.append(staging, staged);
  }
  return out;
}

std::string base64Decode(const unsigned char* text, int length) {
  std::string out;
  if (text == nullptr || length <= 0) return out;

  unsigned count = 0;    // significant characters so far
  unsigned padding = 0;  // "=" seen anywhere; never reset
  unsigned group = 0;    // 24 bits of the current group
  for (int i = 0; i < length; ++i) {
    const unsigned char c = text[i];
    if (c == '\r' || c == '\n') continue;
    const unsigned position = count % 4;
    unsigned value;
    if (c == '=') {
      if (position == 0) return out;
      if (position == 1) return std::string();
      ++padding;
      value = 0;
    } else {
      const int decoded = c < 0x80 ? DECODE_TABLE.values[c] : -1;
      if (decoded < 0) return position == 0 ? out : std::string();
      if (position == 3 && padding > 0) return std::string();
      value = static_cast<unsigned>(decoded);
    }
    group = (group << 6) | value;
    if (position == 3) {
      out.push_back(static_cast<char>(group >> 16));
      if (padding < 2) out.push_back(static_cast<char>(group >> 8));
      if (padding == 0) out.push_back(static_cast<char>(group));
      group = 0;
    }
    ++count;
  }
  return count % 4 == 0 ? out : std::string();
}

}  // namespace marrowel
