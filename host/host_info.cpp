#include "host/host_info.h"

#include <mutex>

namespace marrowel {
namespace {

std::mutex infoMutex;
HostInfo info;

}  // namespace

HostInfo hostInfo() {
  std::lock_guard<std::mutex> lock(infoMutex);
  return info;
}

void applyStartTexts(const std::optional<std::string>& version,
                     const std::optional<std::string>& userAgent) {
  std::lock_guard<std::mutex> lock(infoMutex);
  if (version) info.platformVersion = *version;
  if (!userAgent) return;
  info.platformUserAgent = *userAgent;
  if (userAgent->find("Firefox") != std::string::npos) {
    info.browserWindowClass = "MozillaWindowClass";
  } else if (userAgent->find("Chrome") != std::string::npos) {
    info.browserWindowClass = "Chrome_WidgetWin_1";
  }
}

}  // namespace marrowel
