#include "host/wire_text.h"

// The classic reader and compact writer are the ones whose behaviour the wire
// format follows; jsoncpp marks them deprecated in favour of the builders.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <json/reader.h>
#include <json/writer.h>

namespace marrowel {

void trimLineEnd(std::string& text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
}

std::string toWireText(const Json::Value& value) {
  Json::FastWriter writer;
  writer.omitEndingLineFeed();
  std::string text = writer.write(value);
  trimLineEnd(text);
  return text;
}

void parseMessageText(const std::string& text, Json::Value& out) {
  Json::Reader reader;
  reader.parse(text.data(), text.data() + text.size(), out, false);
}

}  // namespace marrowel

#pragma GCC diagnostic pop
