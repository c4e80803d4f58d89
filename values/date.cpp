#include "values/date.h"

#include <cstring>
#include <utility>

namespace marrowel {
namespace {

const char* const FIELD_NAMES[] = {"year", "month", "day", "hour", "minute", "second"};

// Fields are not range-checked, so the year and month offsets wrap rather than
// overflow: a browser can send any 32-bit year.
std::int32_t offsetBy(std::int32_t value, std::int32_t offset) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(offset));
}

}  // namespace

Date Date::fromJson(const Json::Value& dateObject) {
  Date date;
  std::int32_t* const fields[] = {&date.year, &date.month, &date.day,
                                  &date.hour, &date.minute, &date.second};
  for (int i = 0; i < 6; ++i) {
    const char* name = FIELD_NAMES[i];
    // find() is what rejects a dateObject that is neither object nor null.
    const Json::Value* member = dateObject.find(name, name + std::strlen(name));
    if (member != nullptr) *fields[i] = member->asInt();
  }
  return date;
}

Date Date::fromTm(const std::tm& record) {
  Date date;
  date.year = offsetBy(record.tm_year, 1900);
  date.month = offsetBy(record.tm_mon, 1);
  date.day = record.tm_mday;
  date.hour = record.tm_hour;
  date.minute = record.tm_min;
  date.second = record.tm_sec;
  return date;
}

std::tm Date::toTm() const {
  std::tm record{};
  record.tm_year = offsetBy(year, -1900);
  record.tm_mon = offsetBy(month, -1);
  record.tm_mday = day;
  record.tm_hour = hour;
  record.tm_min = minute;
  record.tm_sec = second;
  return record;
}

void Date::toJson(Json::Value& out) const {
  Json::Value fields(Json::objectValue);
  const std::int32_t values[] = {year, month, day, hour, minute, second};
  for (int i = 0; i < 6; ++i) fields[FIELD_NAMES[i]] = Json::Value(Json::Int(values[i]));
  out = Json::Value(Json::objectValue);
  out["date"] = std::move(fields);
}

}  // namespace marrowel
