#include "values/argument_holders.h"

#include <gtest/gtest.h>

#include "host/wire_text.h"
#include "json_text.h"
#include "scriptable/lib_exception.h"

namespace marrowel {
namespace {

using testing::parseJson;

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
    const OptionalStringParam param = OptionalStringParam::fromParams(parseJson(c.json), c.index);
    EXPECT_EQ(param.present, c.present) << c.json;
    EXPECT_EQ(param.narrow, c.text) << c.json;
    EXPECT_EQ(param.wide, toUtf16(c.text)) << c.json;
  }
  EXPECT_THROW(OptionalStringParam::fromParams(parseJson(R"(["x", 5])"), 1), invalid_args);
  EXPECT_THROW(OptionalStringParam::fromMember(parseJson(R"({"method": false})"), "method"),
               invalid_args);
  EXPECT_FALSE(OptionalStringParam::fromMember(parseJson(R"({"method": {}})"), "method").present);
  EXPECT_TRUE(OptionalStringParam::fromMember(parseJson(R"({"method": ""})"), "method").present);
}

TEST(OptionalJsonParam, ParamsMemberMustBeAnArray) {
  EXPECT_FALSE(OptionalJsonParam::fromParamsMember(parseJson("{}")).present);
  const OptionalJsonParam empty = OptionalJsonParam::fromParamsMember(parseJson(R"({"params": []})"));
  EXPECT_TRUE(empty.present);
  EXPECT_TRUE(empty.value.isNull());
  const OptionalJsonParam two = OptionalJsonParam::fromParamsMember(parseJson(R"({"params": [1, null]})"));
  EXPECT_EQ(toWireText(two.value), "[1,null]");
  EXPECT_THROW(OptionalJsonParam::fromParamsMember(parseJson(R"({"params": 5})")), invalid_args);
  EXPECT_THROW(OptionalJsonParam::fromParamsMember(parseJson(R"({"params": null})")), invalid_args);
}

TEST(OptionalJsonParam, EmptyValuesAreAbsent) {
  for (const char* json : {R"(["n"])", R"(["n", null])", R"(["n", []])", R"(["n", {}])"}) {
    EXPECT_FALSE(OptionalJsonParam::fromSecondParam(parseJson(json)).present) << json;
  }
  for (const char* json : {R"(["n", 0])", R"(["n", false])", R"(["n", ""])"}) {
    const OptionalJsonParam param = OptionalJsonParam::fromSecondParam(parseJson(json));
    EXPECT_TRUE(param.present) << json;
    EXPECT_EQ(param.value, parseJson(json)[1]) << json;
  }
  EXPECT_FALSE(OptionalJsonParam::fromValueMember(parseJson(R"({"value": null})")).present);
  EXPECT_TRUE(OptionalJsonParam::fromValueMember(parseJson(R"({"value": 0})")).present);
}

}  // namespace
}  // namespace marrowel
