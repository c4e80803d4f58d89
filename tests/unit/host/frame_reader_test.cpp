#include "host/frame_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace marrowel {
namespace {

// Serves bytes in small reads, as a pipe does.
class BytesSource : public platform::InputSource {
 public:
  explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, bytes_.size() - at_, std::size_t(7)});
    bytes_.copy(buffer, n, at_);
    at_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

std::string frame(const std::string& length, const std::string& text) { return length + text; }

TEST(FrameReader, ReadsFramesUntilTheInputEnds) {
  BytesSource input(frame(std::string("\x03\0\0\0", 4), "abc") + frame(std::string(4, '\0'), "") +
                    frame(std::string("\x05\0\0\0", 4), std::string("ab\0cd", 5)));
  FrameReader reader(input);
  std::string text;
  ASSERT_TRUE(reader.readFrame(text));
  EXPECT_EQ(text, "abc");
  ASSERT_TRUE(reader.readFrame(text));
  EXPECT_EQ(text, "");
  ASSERT_TRUE(reader.readFrame(text));
  EXPECT_EQ(text, "ab");  // the text ends at the first zero byte
  EXPECT_FALSE(reader.readFrame(text));
}

TEST(FrameReader, AHugeLengthYieldsOnlyWhatArrived) {
  // 4294967295 announced, a few bytes delivered: nothing near that is reserved.
  BytesSource input("\xff\xff\xff\xff{\"type\":0}");
  FrameReader reader(input);
  std::string text;
  ASSERT_TRUE(reader.readFrame(text));
  EXPECT_EQ(text, "{\"type\":0}");
  EXPECT_LT(text.capacity(), std::size_t(1) << 20);
  EXPECT_FALSE(reader.readFrame(text));
}

TEST(FrameReader, APartialLengthIsTheEndOfInput) {
  BytesSource input(std::string("\x01\0", 2));
  FrameReader reader(input);
  std::string text;
  EXPECT_FALSE(reader.readFrame(text));
}

}  // namespace
}  // namespace marrowel
