#pragma once
// An output service over memory, installed for the lifetime of the fixture, so
// the core's replies can be read back as frames.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/msg_writer.h"

namespace marrowel::testing {

class MemorySink : public platform::OutputSink {
 public:
  explicit MemorySink(std::string& bytes) : bytes_(bytes) {}
  void write(const char* data, std::size_t size) override { bytes_.append(data, size); }
  void flush() override {}

 private:
  std::string& bytes_;
};

class MemoryChannel {
 public:
  MemoryChannel() { setMsgWriter(std::make_shared<MsgWriter>(std::make_unique<MemorySink>(bytes_))); }
  ~MemoryChannel() { setMsgWriter(nullptr); }

  // Splits what was written into frame texts; a malformed stream fails the caller's check.
  std::vector<std::string> frames() const {
    std::vector<std::string> texts;
    std::size_t at = 0;
    while (at + 4 <= bytes_.size()) {
      const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + at);
      const std::uint32_t length = p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
      texts.push_back(bytes_.substr(at + 4, length));
      at += 4 + length;
    }
    if (at != bytes_.size()) texts.push_back("<truncated frame>");
    return texts;
  }

 private:
  std::string bytes_;
};

}  // namespace marrowel::testing
