#include "host/frame_reader.h"

#include <algorithm>
#include <cstdint>

namespace marrowel {
namespace {
// Upper bound of one read; the buffer never runs ahead of the input by more.
constexpr std::size_t READ_STEP = 64 * 1024;
}  // namespace

bool FrameReader::readFrame(std::string& text) {
  unsigned char prefix[4];
  std::size_t got = 0;
  while (got < sizeof prefix) {
    std::size_t n = input_.read(reinterpret_cast<char*>(prefix) + got, sizeof prefix - got);
    if (n == 0) return false;
    got += n;
  }
  const std::uint32_t length = std::uint32_t(prefix[0]) | std::uint32_t(prefix[1]) << 8 |
                               std::uint32_t(prefix[2]) << 16 | std::uint32_t(prefix[3]) << 24;

  text.clear();
  std::size_t remaining = length;
  while (remaining > 0) {
    const std::size_t step = std::min(remaining, READ_STEP);
    const std::size_t old = text.size();
    text.resize(old + step);
    const std::size_t n = input_.read(&text[old], step);
    text.resize(old + n);
    if (n == 0) break;
    remaining -= n;
  }

  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return true;
}

}  // namespace marrowel
