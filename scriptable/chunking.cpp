#include "scriptable/chunking.h"

#include <algorithm>
#include <cmath>

#include <json/value.h>

#include "host/wire_text.h"

namespace marrowel {
namespace {

Json::Value chunkEnvelope(std::string piece, std::uint32_t count, std::uint32_t num,
                          std::uint32_t queryId) {
  Json::Value message(Json::objectValue);
  message["chunk"] = Json::Value(std::move(piece));
  message["count"] = Json::Value(Json::UInt(count));
  message["num"] = Json::Value(Json::UInt(num));
  message["query_id"] = Json::Value(Json::UInt(queryId));
  message["type"] = Json::Value(Json::Int(17));
  return message;
}

std::size_t ceilDiv(double a, double b) { return static_cast<std::size_t>(std::ceil(a / b)); }

}  // namespace

std::uint32_t escapedLength(const std::string& text) {
  Json::Value full(Json::objectValue);
  full["chunk"] = text;
  Json::Value empty(Json::objectValue);
  empty["chunk"] = "";
  return static_cast<std::uint32_t>(toWireText(full).size() - toWireText(empty).size());
}

ChunkPlan planChunks(std::size_t length, std::uint32_t escaped, std::uint32_t queryId) {
  const double n = static_cast<double>(length);
  const double ratio = n / static_cast<double>(escaped);
  const double budget = ratio * CHUNK_BUDGET;
  const auto provisional = static_cast<std::uint32_t>(ceilDiv(escaped, budget));
  const double envelope =
      static_cast<double>(toWireText(chunkEnvelope("", provisional, 0, queryId)).size());
  // Never below one byte, so even absurd ratios make progress.
  const auto piece = static_cast<std::uint32_t>(std::max(1.0, budget - envelope));
  const auto needed = static_cast<std::uint32_t>((length + piece - 1) / piece);
  return ChunkPlan{std::max(provisional, needed), piece};
}

std::string chunkMessage(const std::string& text, const ChunkPlan& plan, std::uint32_t num,
                         std::uint32_t queryId) {
  const std::size_t offset = std::size_t(num - 1) * plan.pieceSize;
  std::string piece = offset < text.size() ? text.substr(offset, plan.pieceSize) : std::string();
  return toWireText(chunkEnvelope(std::move(piece), plan.count, num, queryId));
}

}  // namespace marrowel
