#include "platform/stdio_channel.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace marrowel::platform {
namespace {

class FileSink : public OutputSink {
 public:
  explicit FileSink(FILE* file) : file_(file) {}
  ~FileSink() override {
    if (file_) std::fclose(file_);
  }
  void write(const char* data, std::size_t size) override {
    if (file_ && size) std::fwrite(data, 1, size, file_);
  }
  void flush() override {
    if (file_) std::fflush(file_);
  }

 private:
  FILE* file_;
};

class FileSource : public InputSource {
 public:
  explicit FileSource(FILE* file) : file_(file) {}
  std::size_t read(char* buffer, std::size_t size) override {
    return std::fread(buffer, 1, size, file_);
  }

 private:
  FILE* file_;
};

}  // namespace

void setBinaryStdio() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
}

std::unique_ptr<OutputSink> takeOverStandardOutput() {
  std::fflush(stdout);
  int channel = _dup(_fileno(stdout));
  FILE* file = channel >= 0 ? _fdopen(channel, "a") : nullptr;
  if (!file && channel >= 0) _close(channel);
  std::fclose(stdout);
  std::fclose(stderr);
  if (file) _setmode(_fileno(file), _O_BINARY);
  return std::make_unique<FileSink>(file);
}

std::unique_ptr<InputSource> standardInput() { return std::make_unique<FileSource>(stdin); }

}  // namespace marrowel::platform
