#include "platform/stdio_channel.h"
#include "platform/stdio_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace marrowel::platform {

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
