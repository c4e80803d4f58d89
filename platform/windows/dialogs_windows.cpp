#include "platform/dialogs.h"

#include <windows.h>

namespace marrowel::platform {
namespace {

// The first top-level window of the browser's class (any class when none is
// known), else the foreground window; may be null, and the box is then unowned.
HWND browserWindow(const std::optional<std::string>& windowClass) {
  HWND window = FindWindowExA(nullptr, nullptr, windowClass ? windowClass->c_str() : nullptr, nullptr);
  return window ? window : GetForegroundWindow();
}

int show(const std::u16string& text, const std::optional<std::string>& windowClass, UINT type) {
  return MessageBoxW(browserWindow(windowClass), reinterpret_cast<const wchar_t*>(text.c_str()),
                     nullptr, type);
}

}  // namespace

bool confirmBox(const std::u16string& text, const std::optional<std::string>& ownerWindowClass) {
  return show(text, ownerWindowClass, MB_YESNO) == IDYES;
}

void alertBox(const std::u16string& text, const std::optional<std::string>& ownerWindowClass) {
  show(text, ownerWindowClass, MB_OK);
}

}  // namespace marrowel::platform
