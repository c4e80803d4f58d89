#include "platform/dialogs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/text_codec.h"

extern char** environ;

namespace marrowel::platform {
namespace {

// Runs zenity when a display is set and zenity is installed; answers its
// exit status, or nothing when no box could be shown.
std::optional<int> runZenity(const char* kind, const std::u16string& text) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return std::nullopt;
  const std::string message = utf16ToUtf8(text.data(), text.size());
  std::string textArgument = "--text=" + message;
  std::vector<char*> argv = {const_cast<char*>("zenity"), const_cast<char*>(kind),
                             const_cast<char*>("--no-markup"), textArgument.data(), nullptr};
  // The child's output goes nowhere: standard output is the browser's channel.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int failed = posix_spawnp(&child, "zenity", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return std::nullopt;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) return std::nullopt;
  return WEXITSTATUS(status);
}

}  // namespace

bool confirmBox(const std::u16string& text, const std::optional<std::string>&) {
  const std::optional<int> status = runZenity("--question", text);
  return status && *status == 0;
}

void alertBox(const std::u16string& text, const std::optional<std::string>&) {
  runZenity("--info", text);
}

}  // namespace marrowel::platform
