#include "scriptable/chunking.h"

#include <gtest/gtest.h>

#include <json/value.h>

#include "host/wire_text.h"
#include "memory_channel.h"
#include "scriptable/message_sender.h"

namespace marrowel {
namespace {

TEST(EscapedLength, CountsEscapesAsTheWriterWritesThem) {
  EXPECT_EQ(escapedLength(""), 0u);
  EXPECT_EQ(escapedLength("abc"), 3u);
  EXPECT_EQ(escapedLength("\"\\\b\f\n\r\t"), 14u);
  EXPECT_EQ(escapedLength("\x01"), 6u);
  EXPECT_EQ(escapedLength("\xc3\xa9"), 6u);          // one UTF-16 unit
  EXPECT_EQ(escapedLength("\xf0\x9f\x98\x80"), 12u);  // a surrogate pair
}

TEST(PlanChunks, FollowsTheBudgetArithmetic) {
  struct Case {
    std::size_t length;
    std::uint32_t escaped;
    std::uint32_t queryId;
    ChunkPlan expected;
  };
  const Case cases[] = {
      {2100000, 2100000, 0, {3, 1038283}},
      // Two pieces hold only 2076566 bytes, so a third carries the rest.
      {2076600, 2076600, 0, {3, 1038283}},
      // A longer query_id makes the envelope longer and the piece shorter.
      {2100000, 2100000, 4000000000u, {3, 1038274}},
  };
  for (const Case& c : cases) {
    const ChunkPlan plan = planChunks(c.length, c.escaped, c.queryId);
    EXPECT_EQ(plan.count, c.expected.count) << c.length;
    EXPECT_EQ(plan.pieceSize, c.expected.pieceSize) << c.length;
  }
}

// Reassembles the way the browser does: chunk frames of one message arrive
// consecutively, and a joined text may itself be a chunk message.
class Reassembler {
 public:
  explicit Reassembler(std::uint32_t queryId) : queryId_(queryId) {}

  void feed(const std::string& text) {
    Json::Value message;
    parseMessageText(text, message);
    if (!message.isObject() || message["type"].asInt() != 17) {
      messages.push_back(text);
      return;
    }
    Level& level = open(message["count"].asUInt(), message["num"].asUInt());
    EXPECT_EQ(message["num"].asUInt(), ++level.received);
    EXPECT_EQ(message["query_id"].asUInt(), queryId_);
    level.joined += message["chunk"].asString();
    if (level.received == level.count) {
      const std::string joined = std::move(level.joined);
      levels_.pop_back();
      feed(joined);
    }
  }

  std::vector<std::string> messages;

 private:
  struct Level {
    std::uint32_t count;
    std::uint32_t received;
    std::string joined;
  };
  Level& open(std::uint32_t count, std::uint32_t num) {
    // A first chunk inside an unfinished message starts a nested level: that
    // chunk message was itself too long and was cut again.
    if (levels_.empty() || (num == 1 && levels_.back().received > 0)) {
      levels_.push_back(Level{count, 0, {}});
    }
    return levels_.back();
  }
  std::uint32_t queryId_;
  std::vector<Level> levels_;
};

TEST(SendMessageText, WritesOneFrameUpToTheThreshold) {
  testing::MemoryChannel channel;
  const std::string text(CHUNK_THRESHOLD, 'a');
  EXPECT_EQ(sendMessageText(text, 0), static_cast<std::int32_t>(text.size()));
  ASSERT_EQ(channel.frames().size(), 1u);
  EXPECT_EQ(channel.frames()[0], text);
}

TEST(SendMessageText, ChunkedMessagesRebuildTheText) {
  // Even text, text full of escapes (surplus chunks come out empty), and text
  // whose escaping is so uneven that a chunk message must be cut again.
  const std::string even(2100000, 'a');
  const std::string quotes(1200000, '"');
  const std::string uneven = std::string(1500000, 'a') + std::string(1500000, '\x01');
  for (const std::string* text : {&even, &quotes, &uneven}) {
    testing::MemoryChannel channel;
    const std::int32_t written = sendMessageText(*text, 41);
    const std::vector<std::string> frames = channel.frames();
    ASSERT_GT(frames.size(), 1u);
    std::int32_t total = 0;
    for (const std::string& frame : frames) {
      EXPECT_LE(frame.size(), CHUNK_THRESHOLD);
      total += static_cast<std::int32_t>(frame.size());
    }
    EXPECT_EQ(written, total);
    Reassembler reassembler(41);
    for (const std::string& frame : frames) reassembler.feed(frame);
    ASSERT_EQ(reassembler.messages.size(), 1u);
    const std::string& joined = reassembler.messages[0];
    EXPECT_TRUE(joined == *text) << "size " << text->size();
  }
}

}  // namespace
}  // namespace marrowel
