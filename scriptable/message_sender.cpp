#include "scriptable/message_sender.h"

#include <json/value.h>

#include "host/msg_writer.h"
#include "host/wire_text.h"
#include "scriptable/chunking.h"

namespace marrowel {
namespace {

std::int32_t sendLocked(MsgWriter& writer, const std::string& text, std::uint32_t queryId) {
  if (text.size() <= CHUNK_THRESHOLD) {
    writer.writeFrame(text);
    return static_cast<std::int32_t>(text.size());
  }
  const ChunkPlan plan = planChunks(text.size(), escapedLength(text), queryId);
  std::int32_t written = 0;
  for (std::uint32_t num = 1; num <= plan.count; ++num) {
    // A chunk message can itself exceed the threshold when escaping is very
    // uneven across the text; it is then cut again the same way.
    written += sendLocked(writer, chunkMessage(text, plan, num, queryId), queryId);
  }
  return written;
}

}  // namespace

std::int32_t sendMessageText(const std::string& text, std::uint32_t queryId) {
  std::shared_ptr<MsgWriter> writer = msgWriter();
  if (!writer) return 0;
  auto lock = writer->hold();
  return sendLocked(*writer, text, queryId);
}

void sendErrorReply(std::uint32_t clsId, const std::string& text, std::int32_t number,
                    std::uint32_t queryId) {
  Json::Value reply(Json::objectValue);
  reply["cls_id"] = Json::Value(Json::UInt(clsId));
  reply["error_descr"] = text;
  reply["error_num"] = Json::Value(Json::Int(number));
  reply["query_id"] = Json::Value(Json::UInt(queryId));
  reply["type"] = Json::Value(Json::Int(11));
  sendMessageText(toWireText(reply), queryId);
}

}  // namespace marrowel
