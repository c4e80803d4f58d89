#pragma once
// What the browser told the host in its start message: the platform's version
// and user agent texts, and the class of the browser's top-level windows,
// which own the add-ins' message boxes. Written on the main thread, read from
// add-in threads too, so every access locks.

#include <optional>
#include <string>

namespace marrowel {

struct HostInfo {
  std::string platformVersion;
  std::string platformUserAgent;
  std::optional<std::string> browserWindowClass;
};

// A copy of the current texts.
HostInfo hostInfo();

// Records a start message's texts (each when given) and chooses the browser
// window class from the user agent: "Firefox" wins over "Chrome"; a user
// agent naming neither keeps the previous class.
void applyStartTexts(const std::optional<std::string>& version,
                     const std::optional<std::string>& userAgent);

}  // namespace marrowel
