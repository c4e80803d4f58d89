#pragma once
// Reads the browser's frames: a 4-byte little-endian length, then that many
// bytes of message text. The buffer grows with the bytes that actually arrive,
// so a bogus length never reserves memory up front. Main thread only.

#include <string>

#include "platform/stdio_channel.h"

namespace marrowel {

class FrameReader {
 public:
  explicit FrameReader(platform::InputSource& input) : input_(input) {}

  // Reads the next frame into `text`: the bytes before the first zero byte of
  // what arrived (a truncated frame yields the part that arrived). Answers
  // false when the length itself cannot be read (end of input). Throws
  // std::bad_alloc when the message does not fit in memory.
  bool readFrame(std::string& text);

 private:
  platform::InputSource& input_;
};

}  // namespace marrowel
