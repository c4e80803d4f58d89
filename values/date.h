#pragma once
// A calendar date and time of day as values carry it: in JSON as
// {"date": {"year", "month", "day", "hour", "minute", "second"}}, toward
// add-ins as a `tm` record. Fields are taken as given, never normalised or
// range-checked. A plain value; any thread.

#include <cstdint>
#include <ctime>

#include <json/value.h>

#include "scriptable/scriptable_object_base.h"

namespace marrowel {

class Date : public ScriptableObjectBase {
 public:
  // Each of the six members present in `dateObject` sets its field through
  // jsoncpp's 32-bit conversion; missing members leave the field 0. A null
  // `dateObject` gives the zero date. Raises Json::LogicError when
  // `dateObject` is neither an object nor null, or a member does not convert.
  static Date fromJson(const Json::Value& dateObject);

  static Date fromTm(const std::tm& record);
  // Week day, year day and daylight-saving flag are 0.
  std::tm toTm() const;

  // Replaces `out` with the JSON form.
  void toJson(Json::Value& out) const override;

  std::int32_t year = 0;  // full year, e.g. 2024
  std::int32_t month = 0;  // 1-12
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
};

}  // namespace marrowel
