#pragma once
// Cutting long message texts into chunk messages (type 17) that the browser
// reassembles by "num". The arithmetic aims each chunk message at
// CHUNK_BUDGET bytes of escaped text, so every piece fits one frame.

#include <cstdint>
#include <string>

namespace marrowel {

// The longest message text written as a single frame.
constexpr std::uint32_t CHUNK_THRESHOLD = 1048576 - 10;
// The length aimed at for each chunk message.
constexpr std::uint32_t CHUNK_BUDGET = 1048576 - 10240;

// The bytes `text` takes as the body of a JSON string written by the compact writer.
std::uint32_t escapedLength(const std::string& text);

struct ChunkPlan {
  std::uint32_t count;      // chunk messages, "count"
  std::uint32_t pieceSize;  // text bytes per chunk (the last may be shorter or empty)
};

// How a text of `length` bytes whose escaped form takes `escaped` bytes is cut
// when the chunk messages carry `queryId`.
ChunkPlan planChunks(std::size_t length, std::uint32_t escaped, std::uint32_t queryId);

// The chunk message text for piece `num` (1-based) of `plan`.
std::string chunkMessage(const std::string& text, const ChunkPlan& plan, std::uint32_t num,
                         std::uint32_t queryId);

}  // namespace marrowel
