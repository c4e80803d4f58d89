#include "service/class_list.h"

namespace marrowel {

WideString pathBeside(const WideString& modulePath, const WideString& fileName) {
  const std::size_t slash = modulePath.find_last_of(u"/\\");
  const std::size_t keep = slash == WideString::npos ? 0 : slash + 1;
  return modulePath.substr(0, keep) + fileName;
}

std::vector<WideString> splitClassList(const WideString& list) {
  std::vector<WideString> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = list.find(u'|', start);
    if (bar == WideString::npos) {
      pieces.push_back(list.substr(start));
      return pieces;
    }
    pieces.push_back(list.substr(start, bar - start));
    start = bar + 1;
  }
}

}  // namespace marrowel
