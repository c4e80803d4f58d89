#include "scriptable/message_sender.h"

#include "host/msg_writer.h"
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

}  // namespace marrowel
