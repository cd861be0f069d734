#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/sample.h"

namespace tandrin {

// What a trend record file ("*.tdd") holds: the PV range and unit and the
// three recorded series, each oldest first.
struct TrendRecord {
    double m_PVMin = -200.0;
    double m_PVMax = 1800.0;
    std::string m_PVUnit;  // bytes in the interface code page
    SampleList pv;
    SampleList current;
    SampleList percent;

    bool operator==(const TrendRecord&) const = default;
};

// The largest record file that loads: about 7 million samples a series, a
// quarter of a year of all values at one a second. Larger files are refused
// as bad before anything is read.
inline constexpr std::uint64_t kMaxRecordBytes = 256ull * 1024 * 1024;
// The longest PV unit text that loads; units are a few characters.
inline constexpr std::size_t kMaxUnitBytes = 64;

// The file's bytes: little-endian, length-prefixed texts, each series
// newest first.
std::string EncodeTrendRecord(const TrendRecord& record);

// Reads a whole file's bytes. `out` is changed only when every item was
// read and the section names are right; a count or text longer than the
// bytes left makes the file bad before anything is allocated for it, and so
// does a unit longer than kMaxUnitBytes. Never throws.
bool DecodeTrendRecord(std::string_view bytes, TrendRecord& out);

enum class RecordIo { kOk, kCannotOpen, kBadFile };

// Writes a temporary file beside `path` and renames it over `path` once it
// is complete and synced: a failure or a crash leaves any old file whole.
// kCannotOpen when the file cannot be written.
RecordIo SaveTrendRecord(const std::string& path, const TrendRecord& record);
// Opens `path` for reading only and reads it in chunks. `out` is changed
// only on kOk. A FIFO, a device or a directory is kBadFile at once, without
// blocking, and so is a file beyond kMaxRecordBytes or one that exhausts
// memory.
RecordIo LoadTrendRecord(const std::string& path, TrendRecord& out);

}  // namespace tandrin
