#pragma once
// Hands finished message texts to the output service: one frame, or a run of
// chunk messages for texts longer than CHUNK_THRESHOLD. The whole run is
// written under the output service's lock, so other threads' frames never
// land between the chunks of one message. Any thread.

#include <cstdint>
#include <string>

namespace marrowel {

// Sends `text`; chunk messages carry `queryId`. Answers the bytes of message
// text written (summed over the chunk messages). Without an output service
// nothing is written.
std::int32_t sendMessageText(const std::string& text, std::uint32_t queryId);

// Sends the error reply (type 11) on behalf of object `clsId`.
void sendErrorReply(std::uint32_t clsId, const std::string& text, std::int32_t number,
                    std::uint32_t queryId);

}  // namespace marrowel
