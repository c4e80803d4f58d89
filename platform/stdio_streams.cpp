#include "platform/stdio_streams.h"

namespace marrowel::platform {

FileSink::~FileSink() {
  if (file_) std::fclose(file_);
}

void FileSink::write(const char* data, std::size_t size) {
  if (file_ && size) std::fwrite(data, 1, size, file_);
}

void FileSink::flush() {
  if (file_) std::fflush(file_);
}

std::size_t FileSource::read(char* buffer, std::size_t size) {
  return std::fread(buffer, 1, size, file_);
}

}  // namespace marrowel::platform
