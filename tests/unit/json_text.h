#pragma once
// Test input written as JSON text, read by the host's own message parser.

#include <string>

#include <json/value.h>

#include "host/wire_text.h"

namespace marrowel::testing {

inline Json::Value parseJson(const std::string& text) {
  Json::Value value;
  parseMessageText(text, value);
  return value;
}

}  // namespace marrowel::testing
