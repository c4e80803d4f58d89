#include <unistd.h>

#include <vector>

#include "platform/module_path.h"
#include "platform/text_codec.h"

namespace marrowel::platform {

std::u16string hostModulePath() {
  // readlink does not say whether it truncated: grow until the answer fits.
  std::vector<char> buffer(1024);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return utf8ToUtf16(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace marrowel::platform
