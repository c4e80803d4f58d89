#include "values/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marrowel {
namespace {

using namespace std::string_literals;

const std::u16string REPLACEMENT(1, u'\xFFFD');
const std::string REPLACEMENT_UTF8 = "\xEF\xBF\xBD";

WideString fromUtf8(const std::string& text) {
  WideString out;
  utf8ToUtf16(text.data(), static_cast<int>(text.size()), out);
  return out;
}

std::string fromUtf16(const WideString& text) {
  std::string out;
  utf16ToUtf8(text.data(), static_cast<int>(text.size()), out);
  return out;
}

TEST(TextEncoding, WellFormedTextRoundTrips) {
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"", u""},
      {"plain ASCII", u"plain ASCII"},
      {"caf\xC3\xA9", u"caf\u00E9"},
      {"\xE2\x82\xAC 5", u"\u20AC 5"},
      {"\xEF\xBF\xBF", u"\uFFFF"},
      {"\xF0\x9D\x84\x9E clef", u"\U0001D11E clef"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"a\0b"s, u"a\0b"s},
  };
  for (const auto& [utf8, utf16] : cases) {
    EXPECT_EQ(fromUtf8(utf8), utf16) << utf8;
    EXPECT_EQ(fromUtf16(utf16), utf8) << utf8;
  }
  EXPECT_EQ(toUtf16(toUtf8(u"x\0\U0001F600"s)), u"x\0\U0001F600"s);
}

TEST(TextEncoding, IllFormedUtf8BecomesReplacementCharacters) {
  // Each maximal ill-formed subsequence gives one U+FFFD; the byte that ends a
  // truncated sequence is read afresh.
  const std::u16string R = REPLACEMENT;
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"\x80", R},
      {"\xFF", R},
      {"\xC0\xAF", R + R},
      {"\xE2\x82", R},
      {"\xE2\x82" "A", R + u"A"},
      {"\xF0\x9F\x98", R},
      {"\xC3\xC3\xA9", R + u"\u00E9"},
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", u"a" + R + R + R + u"b" + R + u"c" + R + R + u"d"},
  };
  for (const auto& [utf8, utf16] : cases) EXPECT_EQ(fromUtf8(utf8), utf16) << "input size " << utf8.size();

  // Encoded surrogates, overlong forms and values past U+10FFFF never get through.
  for (const std::string utf8 : {"\xED\xA0\x80", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xC1\xBF"}) {
    const WideString wide = fromUtf8(utf8);
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(wide, std::u16string(wide.size(), u'\xFFFD')) << "input size " << utf8.size();
  }
}

TEST(TextEncoding, UnpairedSurrogatesBecomeReplacementCharacters) {
  const std::string R = REPLACEMENT_UTF8;
  const std::vector<std::pair<std::u16string, std::string>> cases = {
      {{0xD800}, R},
      {{0xDC00, u'a'}, R + "a"},
      {{u'a', 0xDBFF, u'b'}, "a" + R + "b"},
      {{0xDC00, 0xD800}, R + R},
      {{0xD800, 0xD800, 0xDC00}, R + "\xF0\x90\x80\x80"},
  };
  for (const auto& [utf16, utf8] : cases) EXPECT_EQ(fromUtf16(utf16), utf8) << "input size " << utf16.size();
}

TEST(TextEncoding, ConvertsExactlyTheGivenCountAndReplacesTheResult) {
  std::string narrow = "old";
  utf16ToUtf8(u"abcdef", 3, narrow);
  EXPECT_EQ(narrow, "abc");
  WideString wide = u"old";
  utf8ToUtf16("abcdef", 3, wide);
  EXPECT_EQ(wide, u"abc");

  // A count that stops inside a surrogate pair leaves half a character.
  utf16ToUtf8(u"\U0001D11E", 1, narrow);
  EXPECT_EQ(narrow, REPLACEMENT_UTF8);

  for (int count : {0, -1}) {
    narrow = "old";
    utf16ToUtf8(u"abc", count, narrow);
    EXPECT_EQ(narrow, "");
    wide = u"old";
    utf8ToUtf16("abc", count, wide);
    EXPECT_EQ(wide, u"");
  }
}

TEST(TextEncoding, AnsiTextReachesUtf8) {
  std::string out = "old";
  ansiToUtf8("Plain text 123", out);
  EXPECT_EQ(out, "Plain text 123");
  ansiToUtf8("", out);
  EXPECT_EQ(out, "");
}

TEST(TextEncoding, JsonStrings) {
  Json::Value value;
  jsonStringFromUtf16(u"\u00E9\0x", 3, value);
  ASSERT_TRUE(value.isString());
  EXPECT_EQ(value.asString(), "\xC3\xA9\0x"s);

  jsonStringFromUtf16(u"abc", 0, value);
  ASSERT_TRUE(value.isString());
  EXPECT_EQ(value.asString(), "");

  const Json::Value wide = jsonStringFromWide(u"\U0001D11E z");
  ASSERT_TRUE(wide.isString());
  EXPECT_EQ(wide.asString(), "\xF0\x9D\x84\x9E z");

  const Json::Value none = jsonStringFromWide(nullptr);
  ASSERT_TRUE(none.isString());
  EXPECT_EQ(none.asString(), "");
}

}  // namespace
}  // namespace marrowel
