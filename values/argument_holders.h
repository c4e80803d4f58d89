#pragma once
// Typed arguments pulled out of a request: a holder says whether the argument
// is present and, when it is, its value. "Empty" values (null, [] and {}) count
// as absent. A present argument of the wrong JSON kind raises `invalid_args` at
// once; whether an absent one is an error is the caller's decision. Plain
// values; any thread.

#include <string>

#include <json/value.h>

#include "values/text_encoding.h"

namespace marrowel {

struct OptionalStringParam {
  bool present = false;
  WideString wide;     // the argument as UTF-16
  std::string narrow;  // the argument as received (UTF-8)

  // Element `index` of a params array; absent when `params` is not an array.
  static OptionalStringParam fromParams(const Json::Value& params, unsigned index);
  // Member `key` of a message object.
  static OptionalStringParam fromMember(const Json::Value& message, const char* key);
};

struct OptionalJsonParam {
  bool present = false;
  Json::Value value;

  // Element 1 of a params array.
  static OptionalJsonParam fromSecondParam(const Json::Value& params);
  // The "value" member of a message.
  static OptionalJsonParam fromValueMember(const Json::Value& message);
  // The "params" member of a message, whatever its value; it must be an array.
  // An empty array gives a null value.
  static OptionalJsonParam fromParamsMember(const Json::Value& message);
};

}  // namespace marrowel
