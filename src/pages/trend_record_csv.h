#pragma once

#include <cstdint>
#include <string>

#include "pages/trend_record.h"

namespace tandrin {

// A record as CSV: a header, then one row per sample, the PV series, then
// loop current, then percent, each oldest first:
//   series,time,value,unit
//   pv,2026-12-07T09:30:02+01:00,25.125,°C
// Time in ISO 8601 local time with its offset, the value as the shortest
// text that reads back the same, the unit in UTF-8. `gbk`: the code page
// of the record's PV unit.
std::string TrendRecordCsv(const TrendRecord& record, bool gbk);

// One row's fields.
std::string IsoLocalTime(std::int32_t time);
std::string ShortestNumber(double value);
// The PV unit in UTF-8; either code page's degree text reads as "°C" or "℃".
std::string UnitUtf8(const std::string& unit, bool gbk);

}  // namespace tandrin
