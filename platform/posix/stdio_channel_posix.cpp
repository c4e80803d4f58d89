#include "platform/stdio_channel.h"
#include "platform/stdio_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace marrowel::platform {

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
