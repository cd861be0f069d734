// The trend record reader on arbitrary bytes: it must reject or read,
// never crash, over-read or allocate what the file cannot hold; a record
// it reads must write back to the same bytes' meaning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pages/trend_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tandrin::TrendRecord record;
    if (tandrin::DecodeTrendRecord(bytes, record)) {
        tandrin::TrendRecord again;
        if (!tandrin::DecodeTrendRecord(tandrin::EncodeTrendRecord(record), again) ||
            again.pv.size() != record.pv.size() || again.m_PVUnit != record.m_PVUnit) {
            std::abort();
        }
    }
    return 0;
}
