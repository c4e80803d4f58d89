#include "values/argument_holders.h"

#include <gtest/gtest.h>

#include "host/wire_text.h"
#include "scriptable/lib_exception.h"

namespace marrowel {
namespace {

Json::Value parse(const std::string& text) {
  Json::Value value;
  parseMessageText(text, value);
  return value;
}

TEST(OptionalStringParam, ReadsPositionsAndMembers) {
  struct Case {
    const char* json;
    unsigned index;
    bool present;
    const char* text;
  };
  const Case cases[] = {
      {R"(["x", null])", 1, false, ""},  {R"(["x", []])", 1, false, ""},
      {R"(["x", {}])", 1, false, ""},    {R"(["x", ""])", 1, true, ""},
      {R"(["x"])", 1, false, ""},        {R"("x")", 0, false, ""},
      {R"(["\u00e9t\u00e9"])", 0, true, "\xc3\xa9t\xc3\xa9"},
  };
  for (const Case& c : cases) {
    const OptionalStringParam param = OptionalStringParam::fromParams(parse(c.json), c.index);
    EXPECT_EQ(param.present, c.present) << c.json;
    EXPECT_EQ(param.narrow, c.text) << c.json;
    EXPECT_EQ(param.wide, toUtf16(c.text)) << c.json;
  }
  EXPECT_THROW(OptionalStringParam::fromParams(parse(R"(["x", 5])"), 1), invalid_args);
  EXPECT_THROW(OptionalStringParam::fromMember(parse(R"({"method": false})"), "method"),
               invalid_args);
  EXPECT_FALSE(OptionalStringParam::fromMember(parse(R"({"method": {}})"), "method").present);
  EXPECT_TRUE(OptionalStringParam::fromMember(parse(R"({"method": ""})"), "method").present);
}

TEST(OptionalJsonParam, ParamsMemberMustBeAnArray) {
  EXPECT_FALSE(OptionalJsonParam::fromParamsMember(parse("{}")).present);
  const OptionalJsonParam empty = OptionalJsonParam::fromParamsMember(parse(R"({"params": []})"));
  EXPECT_TRUE(empty.present);
  EXPECT_TRUE(empty.value.isNull());
  const OptionalJsonParam two = OptionalJsonParam::fromParamsMember(parse(R"({"params": [1, null]})"));
  EXPECT_EQ(toWireText(two.value), "[1,null]");
  EXPECT_THROW(OptionalJsonParam::fromParamsMember(parse(R"({"params": 5})")), invalid_args);
  EXPECT_THROW(OptionalJsonParam::fromParamsMember(parse(R"({"params": null})")), invalid_args);
}

TEST(OptionalJsonParam, EmptyValuesAreAbsent) {
  for (const char* json : {R"(["n"])", R"(["n", null])", R"(["n", []])", R"(["n", {}])"}) {
    EXPECT_FALSE(OptionalJsonParam::fromSecondParam(parse(json)).present) << json;
  }
  for (const char* json : {R"(["n", 0])", R"(["n", false])", R"(["n", ""])"}) {
    const OptionalJsonParam param = OptionalJsonParam::fromSecondParam(parse(json));
    EXPECT_TRUE(param.present) << json;
    EXPECT_EQ(param.value, parse(json)[1]) << json;
  }
  EXPECT_FALSE(OptionalJsonParam::fromValueMember(parse(R"({"value": null})")).present);
  EXPECT_TRUE(OptionalJsonParam::fromValueMember(parse(R"({"value": 0})")).present);
}

}  // namespace
}  // namespace marrowel
