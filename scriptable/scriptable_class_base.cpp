#include "scriptable/scriptable_class_base.h"

#include <new>

#include "host/wire_text.h"
#include "scriptable/lib_exception.h"
#include "scriptable/message_sender.h"
#include "values/argument_holders.h"

namespace marrowel {

ScriptableClassBase::ScriptableClassBase() : clsId(takeNextClsId()) {}

bool ScriptableClassBase::hasMethod(std::string name) {
  return methodTable(METHOD_FIND, std::move(name), nullptr, nullptr);
}

bool ScriptableClassBase::hasProperty(std::string name) {
  return propertyTable(PROPERTY_FIND, std::move(name), nullptr);
}

bool ScriptableClassBase::fetchProperty(std::string name, Json::Value* out) {
  return propertyTable(PROPERTY_GET, std::move(name), out);
}

bool ScriptableClassBase::storeProperty(std::string name, Json::Value* value) {
  return propertyTable(PROPERTY_SET, std::move(name), value);
}

Json::Value ScriptableClassBase::propertyValues(Json::Value*) {
  return Json::Value(Json::objectValue);
}

bool ScriptableClassBase::methodTable(std::int32_t, std::string, Json::Value*, Json::Value*) {
  return false;
}

bool ScriptableClassBase::propertyTable(std::int32_t, std::string, Json::Value*) { return false; }

void ScriptableClassBase::applyProperties(const Json::Value& properties) {
  for (const Json::Value& element : properties) {
    if (!element.isObject() || element.empty()) continue;
    const std::string name = element.getMemberNames().front();
    if (hasProperty(name)) {
      Json::Value value = element[name];
      storeProperty(name, &value);
    }
  }
}

Json::Value& ScriptableClassBase::describe(Json::Value* out) {
  Json::Value& description = *out;
  description = Json::Value(Json::objectValue);
  description["cls_id"] = Json::Value(Json::UInt(clsId));
  description["cls_name"] = clsName;
  Json::Value& methods = description["methods"] = Json::Value(Json::arrayValue);
  for (const std::string& name : methodNames) methods.append(name);
  Json::Value writable(Json::arrayValue);
  description["properties"] = propertyValues(&writable);
  description["writable_properties"] = writable;
  return description;
}

bool ScriptableClassBase::invokeMethod(std::string name, Json::Value* params,
                                       Json::Value* result) {
  currentMethod = name;
  classNames.clear();
  bool done = false;
  std::string failure;
  try {
    done = methodTable(METHOD_INVOKE, std::move(name), params, result);
  } catch (const std::bad_alloc&) {
    failure = "Out of memory";
  } catch (const lib_exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "Unknown error";
  }
  if (!failure.empty()) sendError(static_cast<std::int32_t>(clsId), failure);
  return done;
}

void ScriptableClassBase::sendError(std::int32_t fallbackNumber, const std::string& text) {
  sendErrorReply(clsId, text, currentOperation != 0 ? currentOperation : fallbackNumber,
                 queryId.load());
  currentOperation = 0;
}

bool ScriptableClassBase::dispatch(Json::Value& message) {
  // Read through a const view: a missing member must not be added to the reply copy.
  const Json::Value& request = message;
  const Json::Value& query = request["query_id"];
  if (!query.empty() && query.isNumeric()) queryId = query.asUInt();
  const std::int32_t type = request["type"].asInt();
  Json::Value result;

  switch (type) {
    case 2: {
      const Json::Value& properties = request["properties"];
      if (properties.isArray() && !properties.empty()) applyProperties(properties);
      const OptionalStringParam method = OptionalStringParam::fromMember(message, "method");
      OptionalJsonParam params = OptionalJsonParam::fromParamsMember(message);
      currentOperation = 1;
      if (!params.present || !method.present) throw invalid_args();
      if (!invokeMethod(method.narrow, &params.value, &result)) return false;
      message["params"] = params.value;
      Json::Value payload;
      if (classNames.empty()) {
        payload = result;
      } else {
        payload = Json::Value(Json::objectValue);
        payload["retVal"] = result;
        Json::Value& names = payload["classes_name"] = Json::Value(Json::arrayValue);
        for (const std::string& className : classNames) names.append(className);
      }
      sendMessage(method.narrow, message, payload, 3);
      return true;
    }
    case 4: {
      Json::Value description;
      describe(&description);
      if (!query.empty()) description["query_id"] = query;
      sendMessage("", message, description, 5);
      return true;
    }
    case 6: {
      const OptionalStringParam name = OptionalStringParam::fromMember(message, "property");
      OptionalJsonParam value = OptionalJsonParam::fromValueMember(message);
      if (!name.present) throw invalid_args();
      if (!hasProperty(name.narrow)) return false;
      currentOperation = 2;
      if (!value.present) throw invalid_args();
      return storeProperty(name.narrow, &value.value);
    }
    case 8: {
      const OptionalStringParam name = OptionalStringParam::fromMember(message, "property");
      if (!name.present) throw invalid_args();
      if (!hasProperty(name.narrow)) return false;
      currentOperation = 2;
      const bool fetched = fetchProperty(name.narrow, &result);
      if (fetched) sendMessage(name.narrow, message, result, 9);
      return fetched;
    }
    default:
      return false;
  }
}

void ScriptableClassBase::sendMessage(const std::string& name, Json::Value& source,
                                      Json::Value& payload, std::int32_t type) {
  Json::Value message;
  switch (type) {
    case 3: {
      message = source;
      message["type"] = Json::Value(Json::Int(3));
      message["cls_id"] = Json::Value(Json::UInt(clsId));
      message["method"] = name;
      message["retVal"] = payload;
      Json::Value writable(Json::arrayValue);
      message["properties"] = propertyValues(&writable);
      message["writable_properties"] = writable;
      break;
    }
    case 5:
      message = payload;
      message["type"] = Json::Value(Json::Int(5));
      break;
    case 9:
      message = source;
      message["cls_id"] = Json::Value(Json::UInt(clsId));
      message["value"] = payload;
      message["type"] = Json::Value(Json::Int(9));
      break;
    case 15: {
      message = Json::Value(Json::objectValue);
      message["cls_id"] = Json::Value(Json::UInt(clsId));
      const std::uint32_t count = ++hostCallCount;
      message["query_id"] = Json::Value(Json::UInt(queryId.load() + count));
      message["method"] = name;
      message["params"] = source;
      message["type"] = Json::Value(Json::Int(15));
      break;
    }
    default:
      return;
  }
  sendText(toWireText(message));
}

std::int32_t ScriptableClassBase::sendText(const std::string& text) {
  return sendMessageText(text, queryId.load());
}

}  // namespace marrowel
