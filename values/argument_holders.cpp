#include "values/argument_holders.h"

#include "scriptable/lib_exception.h"

namespace marrowel {
namespace {

OptionalStringParam fromString(const Json::Value* value) {
  OptionalStringParam param;
  if (!value || value->empty()) return param;
  if (!value->isString()) throw invalid_args();
  param.present = true;
  param.narrow = value->asString();
  utf8ToUtf16(param.narrow.data(), static_cast<int>(param.narrow.size()), param.wide);
  return param;
}

const Json::Value* member(const Json::Value& message, const char* key) {
  if (!message.isObject()) return nullptr;
  return message.find(key, key + std::char_traits<char>::length(key));
}

const Json::Value* element(const Json::Value& params, unsigned index) {
  if (!params.isArray() || index >= params.size()) return nullptr;
  return &params[index];
}

OptionalJsonParam fromValue(const Json::Value* value) {
  OptionalJsonParam param;
  if (!value || value->empty()) return param;
  param.present = true;
  param.value = *value;
  return param;
}

}  // namespace

OptionalStringParam OptionalStringParam::fromParams(const Json::Value& params, unsigned index) {
  return fromString(element(params, index));
}

OptionalStringParam OptionalStringParam::fromMember(const Json::Value& message, const char* key) {
  return fromString(member(message, key));
}

OptionalJsonParam OptionalJsonParam::fromSecondParam(const Json::Value& params) {
  return fromValue(element(params, 1));
}

OptionalJsonParam OptionalJsonParam::fromValueMember(const Json::Value& message) {
  return fromValue(member(message, "value"));
}

OptionalJsonParam OptionalJsonParam::fromParamsMember(const Json::Value& message) {
  OptionalJsonParam param;
  const Json::Value* params = member(message, "params");
  if (!params) return param;
  if (!params->isArray()) throw invalid_args();
  param.present = true;
  for (const Json::Value& item : *params) param.value.append(item);
  return param;
}

}  // namespace marrowel
