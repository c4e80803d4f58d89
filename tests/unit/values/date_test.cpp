#include "values/date.h"

#include <gtest/gtest.h>
#include <json/writer.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

#include "host/wire_text.h"
#include "json_text.h"

namespace marrowel {
namespace {

using testing::parseJson;

std::array<std::int32_t, 6> fieldsOf(const Date& date) {
  return {date.year, date.month, date.day, date.hour, date.minute, date.second};
}

TEST(Date, FromJsonTakesEachMemberThroughThe32BitConversion) {
  const std::vector<std::pair<std::string, std::array<std::int32_t, 6>>> cases = {
      {R"({"year":2024,"month":3,"day":15,"hour":14,"minute":30,"second":5})", {2024, 3, 15, 14, 30, 5}},
      {"{}", {0, 0, 0, 0, 0, 0}},
      {"null", {0, 0, 0, 0, 0, 0}},
      // Missing members stay 0, null reads 0, reals truncate toward zero,
      // booleans read 0 or 1, unknown members are ignored.
      {R"({"month":12,"second":null,"zone":"UTC"})", {0, 12, 0, 0, 0, 0}},
      {R"({"year":-1.9,"day":31.99,"hour":true,"minute":false})", {-1, 0, 31, 1, 0, 0}},
      {R"({"year":-2147483648,"month":2147483647})", {INT_MIN, INT_MAX, 0, 0, 0, 0}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(fieldsOf(Date::fromJson(parseJson(text))), expected) << text;
  }
}

TEST(Date, FromJsonRaisesTheJsonConversionError) {
  for (const char* text : {R"("2024-03-15")", "[2024]", "7", R"({"year":"2024"})", R"({"day":[15]})",
                           R"({"month":{}})", R"({"year":3000000000})", R"({"year":-2147483649})",
                           R"({"second":1e10})"}) {
    EXPECT_THROW(Date::fromJson(parseJson(text)), Json::LogicError) << text;
  }
}

TEST(Date, TmRecordOffsetsYearAndMonthOnly) {
  Date date;
  date.year = 2024;
  date.month = 3;
  date.day = 15;
  date.hour = 14;
  date.minute = 30;
  date.second = 5;
  const std::tm record = date.toTm();
  EXPECT_EQ(record.tm_year, 124);
  EXPECT_EQ(record.tm_mon, 2);
  EXPECT_EQ(record.tm_mday, 15);
  EXPECT_EQ(record.tm_hour, 14);
  EXPECT_EQ(record.tm_min, 30);
  EXPECT_EQ(record.tm_sec, 5);
  EXPECT_EQ(record.tm_wday, 0);
  EXPECT_EQ(record.tm_yday, 0);
  EXPECT_EQ(record.tm_isdst, 0);

  std::tm withExtras = record;
  withExtras.tm_wday = 5;
  withExtras.tm_yday = 74;
  withExtras.tm_isdst = 1;
  EXPECT_EQ(fieldsOf(Date::fromTm(withExtras)), fieldsOf(date));
}

TEST(Date, OutOfRangeFieldsWrapBothWays) {
  // Nothing is range-checked, so extreme years must neither trap nor change
  // on the way through a tm record.
  for (const std::int32_t year : {INT_MIN, INT_MIN + 1899, INT_MAX}) {
    Date date;
    date.year = year;
    date.month = INT_MIN;
    const Date back = Date::fromTm(date.toTm());
    EXPECT_EQ(back.year, year);
    EXPECT_EQ(back.month, INT_MIN);
  }
}

TEST(Date, ToJsonReplacesTheTargetWithTheDateObject) {
  Date date;
  date.year = 1999;
  date.month = 12;
  date.day = 31;
  date.hour = 23;
  date.minute = 59;
  date.second = 58;
  Json::Value out = parseJson(R"({"stale":1})");
  static_cast<const ScriptableObjectBase&>(date).toJson(out);
  EXPECT_EQ(toWireText(out), R"({"date":{"day":31,"hour":23,"minute":59,"month":12,"second":58,"year":1999}})");
  EXPECT_EQ(out["date"]["year"].type(), Json::intValue);
  EXPECT_EQ(fieldsOf(Date::fromJson(out["date"])), fieldsOf(date));
}

}  // namespace
}  // namespace marrowel
