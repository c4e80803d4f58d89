#include "host/request_routing.h"

#include "host/object_registry.h"
#include "scriptable/lib_exception.h"
#include "scriptable/message_sender.h"
#include "service/add_in_service.h"

namespace marrowel {
namespace {

std::uint32_t targetOf(const Json::Value& message) {
  const Json::Value& id = message["cls_id"];
  return id.isNull() ? 0 : id.asUInt();
}

// A request to an identifier nobody holds: the browser still gets an answer
// it can match to its request.
void sendObjectNotFound(const Json::Value& message, std::uint32_t target, std::int32_t type) {
  const Json::Value& query = message["query_id"];
  std::uint32_t queryId = 0;
  if (query.isNumeric() && query.isConvertibleTo(Json::uintValue)) queryId = query.asUInt();
  sendErrorReply(target, "Object not found", type, queryId);
}

}  // namespace

void makeStartService() { makeScriptable<AddInServiceEx>(); }

void routeRequest(Json::Value& message, std::int32_t type) {
  const Json::Value& request = message;
  const std::uint32_t target = targetOf(request);
  switch (type) {
    case 2:
    case 6:
    case 8: {
      std::shared_ptr<ScriptableClassBase> object = objectRegistry().findObject(target);
      if (!object) {
        sendObjectNotFound(request, target, type);
        return;
      }
      try {
        object->dispatch(message);
      } catch (const lib_exception& e) {
        // The handler may have released the object meanwhile; then nobody answers.
        const std::string text = e.what();
        if (!text.empty() && objectRegistry().findObject(target)) object->sendError(type, text);
      }
      return;
    }
    case 4: {
      if (!request.isMember("create")) return;
      if (request["create"].asString() != "AddInServiceEx") return;
      makeScriptable<AddInServiceEx>()->dispatch(message);
      return;
    }
    case 10:
      objectRegistry().eraseObject(target);
      return;
    default:
      return;
  }
}

}  // namespace marrowel
