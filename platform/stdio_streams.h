#pragma once
// The channel's sink and source over C stdio streams, shared by every OS.

#include <cstdio>

#include "platform/stdio_channel.h"

namespace marrowel::platform {

// Writes to an owned stream, closed on destruction; a null stream drops output.
class FileSink : public OutputSink {
 public:
  explicit FileSink(FILE* file) : file_(file) {}
  ~FileSink() override;
  void write(const char* data, std::size_t size) override;
  void flush() override;

 private:
  FILE* file_;
};

// Reads from a stream it does not own.
class FileSource : public InputSource {
 public:
  explicit FileSource(FILE* file) : file_(file) {}
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  FILE* file_;
};

}  // namespace marrowel::platform
