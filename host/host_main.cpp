#include "host/host_main.h"

#include <new>
#include <optional>
#include <string>

#include "host/frame_reader.h"
#include "host/host_info.h"
#include "host/msg_writer.h"
#include "host/object_registry.h"
#include "host/request_routing.h"
#include "host/wire_text.h"
#include "platform/environment.h"

namespace marrowel {
namespace {

std::optional<std::string> textMember(const Json::Value& message, const char* name) {
  if (!message.isMember(name)) return std::nullopt;
  return message[name].asString();
}

void handleStart(const Json::Value& message) {
  // Convert both texts before changing anything, so a malformed message has no effect.
  const std::optional<std::string> version = textMember(message, "version");
  const std::optional<std::string> userAgent = textMember(message, "userAgent");
  applyStartTexts(version, userAgent);
  makeStartService();
  Json::Value reply(Json::objectValue);
  reply["type"] = Json::Value(Json::Int(1));
  reply["retVal"] = true;
  msgWriter()->writeFrame(toWireText(reply));
}

enum class Next { READ, STOP };

Next handleMessage(const std::string& text) {
  Json::Value message;
  parseMessageText(text, message);
  if (!message.isObject()) return Next::READ;
  const Json::Value& typeMember = static_cast<const Json::Value&>(message)["type"];
  if (!typeMember.isNumeric()) return Next::READ;
  const std::int32_t type = typeMember.asInt();
  switch (type) {
    case 0:
      handleStart(message);
      break;
    case 2:
    case 4:
    case 6:
    case 8:
    case 10:
      routeRequest(message, type);
      break;
    case 12:
      return Next::STOP;
    default:
      break;
  }
  return Next::READ;
}

}  // namespace

void runMessageLoop(platform::InputSource& input) {
  FrameReader reader(input);
  std::string text;
  for (;;) {
    try {
      if (!reader.readFrame(text)) {
        msgWriter()->logLine("stdin closed");
        return;
      }
    } catch (const std::bad_alloc&) {
      msgWriter()->logLine("bad allocation");
      return;
    }
    msgWriter()->logLine(text);
    try {
      if (handleMessage(text) == Next::STOP) return;
    } catch (const std::exception&) {
      // Malformed envelope members (out-of-range numbers, wrong kinds, nesting
      // the parser refuses): the message is ignored and the host goes on.
    }
  }
}

int runHost(int argc) {
  if (argc < 2) return 1;
  platform::initialiseCom();
  platform::setBinaryStdio();
  if (!msgWriter()) {
    setMsgWriter(std::make_shared<MsgWriter>(platform::takeOverStandardOutput()));
  }
  if (auto directory = platform::logDirectory()) {
    const std::string path = *directory + "/" + platform::hostExecutableName() + ".txt";
    if (platform::fileExists(path)) msgWriter()->openLog(path);
  }
  {
    std::unique_ptr<platform::InputSource> input = platform::standardInput();
    runMessageLoop(*input);
  }
  objectRegistry().clear();
  setMsgWriter(nullptr);
  return 0;
}

}  // namespace marrowel
