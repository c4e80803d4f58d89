#include "platform/stdio_channel.h"

#include <fcntl.h>
#include <unistd.h>

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

void setBinaryStdio() {}

std::unique_ptr<OutputSink> takeOverStandardOutput() {
  std::fflush(stdout);
  int channel = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
  FILE* file = channel >= 0 ? fdopen(channel, "a") : nullptr;
  if (!file && channel >= 0) close(channel);

  int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    std::fflush(stderr);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (null > STDERR_FILENO) close(null);
  }
  return std::make_unique<FileSink>(file);
}

std::unique_ptr<InputSource> standardInput() { return std::make_unique<FileSource>(stdin); }

}  // namespace marrowel::platform
