#include "values/native_variant.h"

#include <gtest/gtest.h>
#include <json/writer.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "host/wire_text.h"
#include "json_text.h"
#include "values/heap.h"

namespace marrowel {
namespace {

using namespace std::string_literals;

const std::string MARKER(binaryMarker, BINARY_MARKER_LENGTH);

using testing::parseJson;

// A record that releases whatever a conversion put into it.
struct OwnedRecord {
  NativeVariant record;
  OwnedRecord() = default;
  OwnedRecord(const OwnedRecord&) = delete;
  OwnedRecord& operator=(const OwnedRecord&) = delete;
  ~OwnedRecord() { releaseNativeVariant(record); }
};

std::string jsonString(const std::string& utf8) { return toWireText(Json::Value(utf8)); }

// "64\r\n4" for a 64-character line, CR LF and a 4-character line.
std::string lineShape(const std::string& text) {
  std::string shape;
  std::size_t run = 0;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (run != 0) shape += std::to_string(run);
      run = 0;
      shape += c;
    } else {
      ++run;
    }
  }
  if (run != 0) shape += std::to_string(run);
  return shape;
}

TEST(NativeVariant, FreshRecordsAreAllZeroBytes) {
  alignas(NativeVariant) unsigned char storage[sizeof(NativeVariant)];
  std::memset(storage, 0xA5, sizeof storage);
  new (storage) NativeVariant;
  EXPECT_TRUE(std::all_of(storage, storage + sizeof storage, [](unsigned char b) { return b == 0; }));

  const std::vector<NativeVariant> records(3);
  for (const NativeVariant& record : records) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    EXPECT_TRUE(std::all_of(bytes, bytes + sizeof record, [](unsigned char b) { return b == 0; }));
  }
}

TEST(NativeVariant, HostBlocksAreDistinctEvenWhenEmpty) {
  void* first = allocateHostBlock(0);
  void* second = allocateHostBlock(0);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  freeHostBlock(first);
  freeHostBlock(second);
  freeHostBlock(nullptr);
}

TEST(JsonToNativeVariant, ScalarsAndObjectsRoundTrip) {
  struct Case {
    const char* json;
    bool converted;
    std::uint16_t type;  // of a record that started empty
    const char* back;    // its JSON form afterwards
  };
  const Case cases[] = {
      {"null", true, TYPE_NULL, "null"},
      {"{}", true, TYPE_EMPTY, "{}"},
      {R"({"a":1})", true, TYPE_EMPTY, "{}"},  // not a date: left empty
      {"-5", true, TYPE_INT32, "-5"},
      {"0", true, TYPE_INT32, "0"},
      {"2147483647", true, TYPE_INT32, "2147483647"},
      {"-2147483648", true, TYPE_INT32, "-2147483648"},
      {"3000000000", false, TYPE_EMPTY, "{}"},  // the reader makes it unsigned
      {"1.5", true, TYPE_DOUBLE, "1.5"},
      {"-0.25", true, TYPE_DOUBLE, "-0.25"},
      {"true", true, TYPE_BOOL, "true"},
      {"false", true, TYPE_BOOL, "false"},
      {"[1]", false, TYPE_EMPTY, "{}"},
      {"[]", false, TYPE_EMPTY, "{}"},
  };
  for (const Case& c : cases) {
    OwnedRecord owned;
    EXPECT_EQ(jsonToNativeVariant(parseJson(c.json), owned.record), c.converted) << c.json;
    EXPECT_EQ(owned.record.vt, c.type) << c.json;
    Json::Value back;
    ASSERT_TRUE(nativeVariantToJson(owned.record, back)) << c.json;
    EXPECT_EQ(toWireText(back), c.back) << c.json;
  }
}

TEST(JsonToNativeVariant, WritesOnlyTheTypeCodeAndValueBytesItUses) {
  // Records an add-in passed in are converted into in place: bytes beyond the
  // new value must survive, and an unconvertible value changes nothing.
  NativeVariant record;
  std::memset(record.pad, 0x5A, sizeof record.pad);
  record.vt = TYPE_UINT32;
  ASSERT_TRUE(jsonToNativeVariant(parseJson("true"), record));
  EXPECT_EQ(record.vt, TYPE_BOOL);
  EXPECT_EQ(record.pad[0], 1);
  EXPECT_EQ(record.pad[1], 0x5A);

  const NativeVariant before = record;
  EXPECT_FALSE(jsonToNativeVariant(parseJson("[1,2]"), record));
  EXPECT_TRUE(jsonToNativeVariant(parseJson(R"({"a":1})"), record));
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST(JsonToNativeVariant, StringsBecomeWideTextOrBinary) {
  struct Case {
    std::string text;
    std::uint16_t type;
    std::string content;  // UTF-16 units as bytes, or the binary bytes
    std::string back;     // the string it converts back to
  };
  const auto utf16 = [](const std::u16string& units) {
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t));
  };
  const Case cases[] = {
      {"", TYPE_WIDE_TEXT, "", ""},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E", TYPE_WIDE_TEXT, utf16(u"caf\u00E9 \u20AC \U0001D11E"),
       "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E"},
      {"a\0b"s, TYPE_WIDE_TEXT, utf16(u"a\0b"s), "a\0b"s},
      // The marker alone, or in another case, is ordinary text.
      {MARKER, TYPE_WIDE_TEXT, utf16(u"6B765706-BAA6-4262-9A0D-985DB1774C92"), MARKER},
      {"6b765706-baa6-4262-9a0d-985db1774c92QUJD", TYPE_WIDE_TEXT,
       utf16(u"6b765706-baa6-4262-9a0d-985db1774c92QUJD"), "6b765706-baa6-4262-9a0d-985db1774c92QUJD"},
      {MARKER + "QUJD", TYPE_BINARY, "ABC", MARKER + "QUJD"},
      {MARKER + "AP8A", TYPE_BINARY, "\0\xFF\0"s, MARKER + "AP8A"},
      // Malformed base64 decodes to nothing; empty binary reads back as the
      // bare marker, that is, as text.
      {MARKER + "QUJ", TYPE_BINARY, "", MARKER},
      {MARKER + "****", TYPE_BINARY, "", MARKER},
  };
  for (const Case& c : cases) {
    const std::string label = jsonString(c.text);
    OwnedRecord owned;
    NativeVariant& record = owned.record;
    ASSERT_TRUE(jsonToNativeVariant(Json::Value(c.text), record)) << label;
    ASSERT_EQ(record.vt, c.type) << label;
    if (c.type == TYPE_WIDE_TEXT) {
      ASSERT_NE(record.wstr, nullptr) << label;
      EXPECT_EQ(record.wstrLen * sizeof(char16_t), c.content.size()) << label;
      EXPECT_EQ(std::memcmp(record.wstr, c.content.data(), c.content.size()), 0) << label;
      EXPECT_EQ(record.wstr[record.wstrLen], u'\0') << label;
    } else {
      ASSERT_NE(record.blob, nullptr) << label;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.blob), record.blobLen), c.content) << label;
    }
    Json::Value back;
    ASSERT_TRUE(nativeVariantToJson(record, back)) << label;
    EXPECT_EQ(back.asString(), c.back) << label;
  }
}

TEST(NativeVariantToJson, BinaryUsesTheBrowsersLineLayoutAndDecodesBack) {
  const std::vector<std::pair<std::uint32_t, std::string>> cases = {
      {0, ""},
      {1, "4"},
      {48, "64"},
      {49, "64\r\n4"},
      {96, "64\r\n64\r\n"},
  };
  for (const auto& [size, shape] : cases) {
    std::string bytes(size, '\0');
    for (std::uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 37 + 11);
    NativeVariant record;
    record.vt = TYPE_BINARY;
    record.blob = reinterpret_cast<unsigned char*>(bytes.data());
    record.blobLen = size;

    Json::Value json;
    ASSERT_TRUE(nativeVariantToJson(record, json)) << size;
    const std::string text = json.asString();
    ASSERT_EQ(text.compare(0, BINARY_MARKER_LENGTH, MARKER), 0) << size;
    EXPECT_EQ(lineShape(text.substr(BINARY_MARKER_LENGTH)), shape) << size;

    if (size == 0) continue;  // the bare marker is text
    OwnedRecord back;
    ASSERT_TRUE(jsonToNativeVariant(json, back.record));
    ASSERT_EQ(back.record.vt, TYPE_BINARY) << size;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(back.record.blob), back.record.blobLen), bytes) << size;
  }
}

TEST(NativeVariantToJson, RecordsFilledByAddIns) {
  char narrow[] = "plain text";
  char16_t wide[] = u"abc\0def";
  unsigned char bytes[] = {'A', 'B', 'C'};

  struct Case {
    const char* label;
    NativeVariant record;
    const char* json;
    Json::ValueType kind;
  };
  std::vector<Case> cases;
  const auto add = [&cases](const char* label, std::uint16_t type, auto fill, const char* json,
                            Json::ValueType kind) {
    Case c{label, NativeVariant(), json, kind};
    c.record.vt = type;
    fill(c.record);
    cases.push_back(c);
  };
  add("int32", TYPE_INT32, [](NativeVariant& r) { r.intValue = -7; }, "-7", Json::intValue);
  add("int", TYPE_INT, [](NativeVariant& r) { r.intValue = INT32_MIN; }, "-2147483648", Json::intValue);
  add("uint32", TYPE_UINT32, [](NativeVariant& r) { r.uintValue = 7; }, "7", Json::uintValue);
  add("uint", TYPE_UINT, [](NativeVariant& r) { r.uintValue = 4000000000u; }, "4000000000", Json::uintValue);
  add("double", TYPE_DOUBLE, [](NativeVariant& r) { r.doubleValue = 1.5; }, "1.5", Json::realValue);
  add("bool byte 0", TYPE_BOOL, [](NativeVariant& r) { r.pad[0] = 0; }, "false", Json::booleanValue);
  // Add-ins may store any nonzero byte; reading it must not assume 0 or 1.
  add("bool byte 2", TYPE_BOOL, [](NativeVariant& r) { r.pad[0] = 2; }, "true", Json::booleanValue);
  // Narrow text runs to its NUL whatever its length field says.
  add("narrow", TYPE_NARROW_TEXT, [&](NativeVariant& r) { r.str = narrow; r.strLen = 2; }, R"("plain text")",
      Json::stringValue);
  // Wide text takes exactly the units its length field counts.
  add("wide 3", TYPE_WIDE_TEXT, [&](NativeVariant& r) { r.wstr = wide; r.wstrLen = 3; }, R"("abc")",
      Json::stringValue);
  add("wide 7", TYPE_WIDE_TEXT, [&](NativeVariant& r) { r.wstr = wide; r.wstrLen = 7; }, R"("abc\u0000def")",
      Json::stringValue);
  add("wide 0", TYPE_WIDE_TEXT, [&](NativeVariant& r) { r.wstr = wide; r.wstrLen = 0; }, R"("")",
      Json::stringValue);
  add("binary", TYPE_BINARY, [&](NativeVariant& r) { r.blob = bytes; r.blobLen = 3; },
      R"("6B765706-BAA6-4262-9A0D-985DB1774C92QUJD")", Json::stringValue);
  // Null pointers read as empty, whatever the length field says.
  add("null narrow", TYPE_NARROW_TEXT, [](NativeVariant& r) { r.strLen = 5; }, R"("")", Json::stringValue);
  add("null wide", TYPE_WIDE_TEXT, [](NativeVariant& r) { r.wstrLen = 5; }, R"("")", Json::stringValue);
  add("null binary", TYPE_BINARY, [](NativeVariant& r) { r.blobLen = 5; },
      R"("6B765706-BAA6-4262-9A0D-985DB1774C92")", Json::stringValue);

  for (const Case& c : cases) {
    Json::Value out(Json::objectValue);
    ASSERT_TRUE(nativeVariantToJson(c.record, out)) << c.label;
    EXPECT_EQ(toWireText(out), c.json) << c.label;
    EXPECT_EQ(out.type(), c.kind) << c.label;
  }
}

TEST(NativeVariantToJson, FloatWidensToTheNearestDouble) {
  NativeVariant record;
  record.vt = TYPE_FLOAT;
  record.floatValue = 0.1f;
  Json::Value out;
  ASSERT_TRUE(nativeVariantToJson(record, out));
  ASSERT_TRUE(out.isDouble());
  EXPECT_EQ(out.asDouble(), static_cast<double>(0.1f));
  EXPECT_NE(out.asDouble(), 0.1);
}

TEST(NativeVariantToJson, TypesWithoutJsonFormLeaveTheTarget) {
  NativeVariant referenced;
  referenced.vt = TYPE_INT32;
  referenced.intValue = 9;
  for (const std::uint16_t type : {2, 6, 9, 10, 12, 13, 14, 15, 17, 18, 21, 24, 0xFFFF}) {
    NativeVariant record;
    record.vt = type;
    record.ref = &referenced;
    Json::Value out("previous");
    EXPECT_FALSE(nativeVariantToJson(record, out)) << type;
    EXPECT_EQ(out, Json::Value("previous")) << type;
  }
}

TEST(DateVariant, DateObjectsBecomeTmRecordsAndComeBack) {
  struct Case {
    const char* json;
    int year, month, day, hour, minute, second;
    const char* back;
  };
  const Case cases[] = {
      {R"({"date":{"year":2024,"month":3,"day":15,"hour":14,"minute":30,"second":5}})", 124, 2, 15, 14, 30, 5,
       R"({"date":{"day":15,"hour":14,"minute":30,"month":3,"second":5,"year":2024}})"},
      // No normalisation: missing fields give month -1 and year -1900.
      {R"({"date":{}})", -1900, -1, 0, 0, 0, 0,
       R"({"date":{"day":0,"hour":0,"minute":0,"month":0,"second":0,"year":0}})"},
      {R"({"date":null})", -1900, -1, 0, 0, 0, 0,
       R"({"date":{"day":0,"hour":0,"minute":0,"month":0,"second":0,"year":0}})"},
      // Other members beside "date" do not matter.
      {R"({"date":{"year":1970,"month":1,"day":1},"zone":"UTC"})", 70, 0, 1, 0, 0, 0,
       R"({"date":{"day":1,"hour":0,"minute":0,"month":1,"second":0,"year":1970}})"},
  };
  for (const Case& c : cases) {
    NativeVariant record;
    ASSERT_TRUE(jsonToNativeVariant(parseJson(c.json), record)) << c.json;
    ASSERT_EQ(record.vt, TYPE_DATE) << c.json;
    const std::tm& tm = record.tmValue;
    EXPECT_EQ(tm.tm_year, c.year) << c.json;
    EXPECT_EQ(tm.tm_mon, c.month) << c.json;
    EXPECT_EQ(tm.tm_mday, c.day) << c.json;
    EXPECT_EQ(tm.tm_hour, c.hour) << c.json;
    EXPECT_EQ(tm.tm_min, c.minute) << c.json;
    EXPECT_EQ(tm.tm_sec, c.second) << c.json;
    EXPECT_EQ(tm.tm_wday, 0) << c.json;
    EXPECT_EQ(tm.tm_yday, 0) << c.json;
    EXPECT_EQ(tm.tm_isdst, 0) << c.json;

    // Week day, year day and daylight-saving flag an add-in sets are ignored.
    record.tmValue.tm_wday = 4;
    record.tmValue.tm_yday = 300;
    record.tmValue.tm_isdst = 1;
    Json::Value back;
    ASSERT_TRUE(nativeVariantToJson(record, back)) << c.json;
    EXPECT_EQ(toWireText(back), c.back) << c.json;
  }
}

TEST(JsonToNativeVariant, OutOfRangeNumbersAndMalformedDatesRaise) {
  for (const char* json : {"-3000000000", R"({"date":"2024-03-15"})", R"({"date":[2024]})", R"({"date":1})",
                           R"({"date":{"year":"2024"}})", R"({"date":{"month":4294967296}})"}) {
    OwnedRecord owned;
    EXPECT_THROW(jsonToNativeVariant(parseJson(json), owned.record), Json::LogicError) << json;
    EXPECT_EQ(owned.record.vt, TYPE_EMPTY) << json;
  }
}

TEST(ArgumentLists, ConvertOnlyWhereBothSidesHaveAnElement) {
  std::vector<NativeVariant> records(3);
  records[2].vt = TYPE_INT32;
  records[2].intValue = 77;

  jsonArrayToNativeVariants(parseJson("[1,2]"), records);
  EXPECT_EQ(records[0].intValue, 1);
  EXPECT_EQ(records[1].intValue, 2);
  EXPECT_EQ(records[2].intValue, 77);

  jsonArrayToNativeVariants(parseJson(R"(["a","b","c","d","e"])"), records);
  for (NativeVariant& record : records) {
    EXPECT_EQ(record.vt, TYPE_WIDE_TEXT);
    releaseNativeVariant(record);
  }

  std::vector<NativeVariant> untouched(2);
  jsonArrayToNativeVariants(parseJson("null"), untouched);
  jsonArrayToNativeVariants(parseJson(R"({"0":1})"), untouched);
  EXPECT_EQ(untouched[0].vt, TYPE_EMPTY);
  EXPECT_EQ(untouched[1].vt, TYPE_EMPTY);
}

TEST(ArgumentLists, RoundTripWithNullForRecordsWithoutJsonForm) {
  const std::string params = R"(["text","",-5,1.5,true,null,{},{"date":{}}])";
  std::vector<NativeVariant> records(8);
  jsonArrayToNativeVariants(parseJson(params), records);

  Json::Value back(Json::arrayValue);
  nativeVariantsToJsonArray(records, back);
  EXPECT_EQ(toWireText(back),
            R"(["text","",-5,1.5,true,null,{},{"date":{"day":0,"hour":0,"minute":0,"month":0,"second":0,"year":0}}])");
  for (NativeVariant& record : records) releaseNativeVariant(record);

  std::vector<NativeVariant> mixed(4);
  mixed[0].vt = TYPE_INT32;
  mixed[0].intValue = 1;
  mixed[1].vt = TYPE_REFERENCE;
  mixed[1].ref = &mixed[0];
  mixed[2].vt = 2;
  Json::Value out(Json::arrayValue);
  nativeVariantsToJsonArray(mixed, out);
  EXPECT_EQ(toWireText(out), "[1,null,null,{}]");
}

TEST(ReleaseNativeVariant, FreesTheBufferAtTheEndOfAReferenceChain) {
  // Under the leak checker an unreleased buffer fails the run; freeing a
  // referenced record itself (they live on the stack here) would crash.
  for (const char* json : {R"("text")", R"("")", R"("6B765706-BAA6-4262-9A0D-985DB1774C92QUJD")",
                           R"("6B765706-BAA6-4262-9A0D-985DB1774C92")", "7"}) {
    NativeVariant target;
    ASSERT_TRUE(jsonToNativeVariant(parseJson(json), target)) << json;
    NativeVariant middle;
    middle.vt = TYPE_REFERENCE;
    middle.ref = &target;
    NativeVariant head;
    head.vt = TYPE_REFERENCE;
    head.ref = &middle;
    releaseNativeVariant(head);
  }

  // Narrow text an add-in built from the host's memory manager.
  NativeVariant narrow;
  narrow.vt = TYPE_NARROW_TEXT;
  narrow.str = static_cast<char*>(allocateHostBlock(4));
  std::memcpy(narrow.str, "abc", 4);
  releaseNativeVariant(narrow);

  NativeVariant dangling;
  dangling.vt = TYPE_REFERENCE;
  releaseNativeVariant(dangling);
}

TEST(ReleaseNativeVariant, LoopingReferenceChainsEnd) {
  for (int length = 1; length <= 5; ++length) {
    for (int entry = 0; entry < length; ++entry) {
      // A tail of `entry` records leading into a loop over the rest.
      std::vector<NativeVariant> chain(static_cast<std::size_t>(length));
      for (int i = 0; i < length; ++i) {
        chain[i].vt = TYPE_REFERENCE;
        chain[i].ref = &chain[i + 1 < length ? i + 1 : entry];
      }
      releaseNativeVariant(chain[0]);
    }
  }
  SUCCEED();
}

}  // namespace
}  // namespace marrowel
