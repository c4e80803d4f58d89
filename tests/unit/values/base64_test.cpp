#include "values/base64.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace marrowel {
namespace {

std::string encode(const std::string& bytes) {
  return base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

std::string decode(const std::string& text) {
  return base64Decode(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

std::string pseudoRandomBytes(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

// The layout the browser side expects, stated from the encoded length T alone.
std::string expectedLayout(const std::string& plain) {
  const std::size_t total = plain.size();
  if (total <= 64) return plain;
  const bool lastLineBare = total > 1024 && total % 1024 == 64;
  std::string out;
  for (std::size_t start = 0; start < total; start += 64) {
    out += plain.substr(start, 64);
    const bool fullLine = start + 64 <= total;
    const bool last = start + 64 >= total;
    if (fullLine && !(last && lastLineBare)) out += "\r\n";
  }
  return out;
}

std::string withoutLineBreaks(std::string text) {
  std::string out;
  for (char c : text) {
    if (c != '\r' && c != '\n') out += c;
  }
  return out;
}

TEST(Base64Encode, StandardVectors) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\0\0\0", 3), "AAAA"},
      {"\xfb\xff", "+/8="},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(encode(bytes), text) << "input size " << bytes.size();
}

TEST(Base64Encode, BreaksLinesByEncodedLength) {
  // Encoded lengths: 64, 68, 128, 132, 1020, 1024, 1028, 1088, 1092, 2048, 2112, 3136, 4000.
  for (std::size_t size : {48u, 49u, 96u, 97u, 765u, 768u, 769u, 816u, 817u, 1536u, 1584u, 2352u, 3000u}) {
    const std::string bytes = pseudoRandomBytes(size);
    const std::string text = encode(bytes);
    EXPECT_EQ(text, expectedLayout(withoutLineBreaks(text))) << "input size " << size;
    EXPECT_EQ(withoutLineBreaks(text).size(), (size + 2) / 3 * 4) << "input size " << size;
  }
}

TEST(Base64Encode, LayoutAtTheDocumentedSizes) {
  EXPECT_EQ(encode(pseudoRandomBytes(48)).find('\r'), std::string::npos);

  const std::string of49 = encode(pseudoRandomBytes(49));
  ASSERT_EQ(of49.size(), 64u + 2 + 4);
  EXPECT_EQ(of49.substr(64, 2), "\r\n");

  const std::string of96 = encode(pseudoRandomBytes(96));
  ASSERT_EQ(of96.size(), 2 * 66u);
  EXPECT_EQ(of96.substr(64, 2), "\r\n");
  EXPECT_EQ(of96.substr(130), "\r\n");

  const std::string of768 = encode(pseudoRandomBytes(768));
  ASSERT_EQ(of768.size(), 16 * 66u);
  EXPECT_EQ(of768.substr(of768.size() - 2), "\r\n");

  // The staging area's quirk: the seventeenth full line has no CR LF.
  const std::string of816 = encode(pseudoRandomBytes(816));
  ASSERT_EQ(of816.size(), 16 * 66u + 64);
  EXPECT_EQ(of816.substr(16 * 66 - 2, 2), "\r\n");
  EXPECT_EQ(of816.find('\r', 16 * 66), std::string::npos);
}

TEST(Base64, LargeValueRoundTrips) {
  const std::string bytes = pseudoRandomBytes(3 * 1024 * 1024 + 1);
  EXPECT_EQ(decode(encode(bytes)), bytes);

  std::string everyByte;
  for (int i = 0; i < 256; ++i) everyByte += static_cast<char>(i);
  EXPECT_EQ(decode(encode(everyByte)), everyByte);
}

TEST(Base64Decode, FollowsTheDecodingRules) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"QUJD", "ABC"},
      {"QUI=", "AB"},
      {"QQ==", "A"},
      {"Zm9vYmFy", "foobar"},
      {"", ""},
      {"\r\n", ""},
      // An incomplete group at the end discards everything.
      {"QUJ", ""},
      {"QUJDQQ", ""},
      // CR and LF are skipped anywhere, even inside a group.
      {"QUJD\r\nQUJD", "ABCABC"},
      {"Q\r\nU\nJ\rD", "ABC"},
      // An unusable byte ends the input: kept at a group boundary, else nothing.
      {"****", ""},
      {"QUJD QUJD", "ABC"},
      {"QU JD", ""},
      {"QUJD\x80QUJD", "ABC"},
      {"QU\xc3\xa9", ""},
      {std::string("QUJD\0QUJD", 9), "ABC"},
      // "=" at a group boundary stops with what was decoded; second in a group, with nothing.
      {"=QUJD", ""},
      {"QUJD=QUJD", "ABC"},
      {"QUJD===", "ABC"},
      {"Q===", ""},
      {"QUJDQ=", ""},
      // A character after padding where a group ends gives nothing.
      {"QU=D", ""},
      {"QUI=QUJD", ""},
      // The padding count carries over: the second group yields one byte only.
      {"QUI=QUI=", "ABA"},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(decode(text), bytes) << "input \"" << text << "\"";
}

TEST(Base64Decode, ReadsExactlyTheGivenLength) {
  const unsigned char text[] = "QUJDQUJD";
  EXPECT_EQ(base64Decode(text, 4), "ABC");
  EXPECT_EQ(base64Decode(text, 0), "");
  EXPECT_EQ(base64Decode(text, -1), "");
}

}  // namespace
}  // namespace marrowel
