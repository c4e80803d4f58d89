#pragma once
// Message boxes that add-ins ask for, shown on the desktop and owned by the
// browser's top-level window when one can be found. Both block the calling
// thread until the user answers. Any thread.

#include <optional>
#include <string>

namespace marrowel::platform {

// A Yes/No box with the system's default caption; answers whether Yes was chosen.
bool confirmBox(const std::u16string& text, const std::optional<std::string>& ownerWindowClass);

// A box with an OK button only; returns when it is closed.
void alertBox(const std::u16string& text, const std::optional<std::string>& ownerWindowClass);

}  // namespace marrowel::platform
