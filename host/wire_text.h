#pragma once
// The text form of messages on the channel. Outgoing messages are written by
// the compact JSON writer with trailing line breaks removed, which fixes the
// escaping (plain ASCII, \u escapes) and member order that the browser side and
// the chunk arithmetic rely on. Incoming text is parsed leniently: whatever the
// parser produced is used, well-formed or not. Stateless; any thread.

#include <string>

#include <json/value.h>

namespace marrowel {

// Removes every trailing LF and CR byte.
void trimLineEnd(std::string& text);

// The compact writer's text for `value`, line end trimmed.
std::string toWireText(const Json::Value& value);

// Parses `text` into `out`. `out` holds whatever the parser built, even when
// the text is not well-formed; anything the parser throws propagates.
void parseMessageText(const std::string& text, Json::Value& out);

}  // namespace marrowel
