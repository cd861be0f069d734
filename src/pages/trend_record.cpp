#include "pages/trend_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "shell/atomic_file.h"

namespace tandrin {

namespace {

constexpr std::string_view kCurve = "Curve";
constexpr std::string_view kPvCurve = "PV Curve";
constexpr std::string_view kCurrentCurve = "Current Curve";
constexpr std::string_view kPercentCurve = "Percent Curve";
constexpr std::size_t kSampleBytes = 12;

// ---- Writing

class Writer {
  public:
    explicit Writer(std::size_t capacity) { m_bytes.reserve(capacity); }

    void U8(std::uint8_t value) { m_bytes.push_back(static_cast<char>(value)); }
    void U16(std::uint16_t value) { Little(value, 2); }
    void I32(std::int32_t value) { Little(static_cast<std::uint32_t>(value), 4); }
    void F64(double value) { Little(std::bit_cast<std::uint64_t>(value), 8); }

    void Text(std::string_view text) {
        if (text.size() < 0xFF) {
            U8(static_cast<std::uint8_t>(text.size()));
        } else if (text.size() < 0xFFFE) {
            U8(0xFF);
            U16(static_cast<std::uint16_t>(text.size()));
        } else {
            U8(0xFF);
            U16(0xFFFF);
            I32(static_cast<std::int32_t>(text.size()));
        }
        m_bytes.append(text);
    }

    // Newest first: the reader inserts each sample at the head.
    void Series(const SampleList& samples) {
        I32(static_cast<std::int32_t>(samples.size()));
        for (auto it = samples.rbegin(); it != samples.rend(); ++it) {
            F64(it->value);
            I32(it->time);
        }
    }

    std::string Take() { return std::move(m_bytes); }

  private:
    void Little(std::uint64_t value, int bytes) {
        char out[8];
        for (int i = 0; i < bytes; ++i) {
            out[i] = static_cast<char>(value >> (8 * i));
        }
        m_bytes.append(out, static_cast<std::size_t>(bytes));
    }

    std::string m_bytes;
};

// ---- Reading

class Reader {
  public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t Left() const { return m_bytes.size() - m_at; }

    bool U8(std::uint8_t& value) {
        std::uint64_t raw = 0;
        return Little(1, raw) && (value = static_cast<std::uint8_t>(raw), true);
    }
    bool U16(std::uint16_t& value) {
        std::uint64_t raw = 0;
        return Little(2, raw) && (value = static_cast<std::uint16_t>(raw), true);
    }
    bool I32(std::int32_t& value) {
        std::uint64_t raw = 0;
        return Little(4, raw) && (value = static_cast<std::int32_t>(raw), true);
    }
    bool F64(double& value) {
        std::uint64_t raw = 0;
        return Little(8, raw) && (value = std::bit_cast<double>(raw), true);
    }

    bool Text(std::string& text) {
        std::uint8_t shortLength = 0;
        if (!U8(shortLength)) {
            return false;
        }
        std::uint64_t length = shortLength;
        if (shortLength == 0xFF) {
            std::uint16_t middle = 0;
            if (!U16(middle) || middle == 0xFFFE) {  // 0xFFFE marks wide text: never written
                return false;
            }
            length = middle;
            if (middle == 0xFFFF) {
                std::int32_t longLength = 0;
                if (!I32(longLength)) {
                    return false;
                }
                length = static_cast<std::uint32_t>(longLength);
            }
        }
        if (length > Left()) {
            return false;
        }
        text.assign(m_bytes.substr(m_at, static_cast<std::size_t>(length)));
        m_at += static_cast<std::size_t>(length);
        return true;
    }

    bool Section(std::string_view name) {
        std::string text;
        return Text(text) && text == name;
    }

    // A count of 0 or less reads nothing; one larger than the samples the
    // file still holds makes it bad. Read newest first, kept oldest first.
    bool Series(SampleList& samples) {
        std::int32_t count = 0;
        if (!I32(count)) {
            return false;
        }
        if (count <= 0) {
            samples.clear();
            return true;
        }
        const std::size_t n = static_cast<std::size_t>(count);
        if (n > Left() / kSampleBytes) {
            return false;
        }
        samples.resize(n);
        for (std::size_t i = n; i-- > 0;) {
            F64(samples[i].value);
            I32(samples[i].time);
        }
        return true;
    }

  private:
    bool Little(int bytes, std::uint64_t& value) {
        if (Left() < static_cast<std::size_t>(bytes)) {
            return false;
        }
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= std::uint64_t{static_cast<unsigned char>(m_bytes[m_at + i])} << (8 * i);
        }
        m_at += static_cast<std::size_t>(bytes);
        return true;
    }

    std::string_view m_bytes;
    std::size_t m_at = 0;
};

bool ReadAll(int fd, std::string& bytes) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    // A file that grew meanwhile is read as it was when measured.
    return true;
}

}  // namespace

std::string EncodeTrendRecord(const TrendRecord& record) {
    const std::size_t samples = record.pv.size() + record.current.size() + record.percent.size();
    Writer out(80 + record.m_PVUnit.size() + samples * kSampleBytes);
    out.Text(kCurve);
    out.I32(1);
    out.Text(kPvCurve);
    out.F64(record.m_PVMin);
    out.F64(record.m_PVMax);
    out.Text(record.m_PVUnit);
    out.Series(record.pv);
    out.Text(kCurrentCurve);
    out.Series(record.current);
    out.Text(kPercentCurve);
    out.Series(record.percent);
    return out.Take();
}

bool DecodeTrendRecord(std::string_view bytes, TrendRecord& out) {
    Reader in(bytes);
    TrendRecord record;
    std::int32_t version = 0;  // not checked: any value loads
    const bool read = in.Section(kCurve) && in.I32(version) && in.Section(kPvCurve) &&
                      in.F64(record.m_PVMin) && in.F64(record.m_PVMax) &&
                      in.Text(record.m_PVUnit) && in.Series(record.pv) &&
                      in.Section(kCurrentCurve) && in.Series(record.current) &&
                      in.Section(kPercentCurve) && in.Series(record.percent);
    if (!read) {
        return false;
    }
    out = std::move(record);
    return true;
}

RecordIo SaveTrendRecord(const std::string& path, const TrendRecord& record) {
    return WriteFileAtomically(path, EncodeTrendRecord(record)) ? RecordIo::kOk
                                                                : RecordIo::kCannotOpen;
}

RecordIo LoadTrendRecord(const std::string& path, TrendRecord& out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return RecordIo::kCannotOpen;
    }
    std::string bytes;
    const bool whole = ReadAll(fd, bytes);
    close(fd);
    if (!whole) {
        return RecordIo::kBadFile;
    }
    return DecodeTrendRecord(bytes, out) ? RecordIo::kOk : RecordIo::kBadFile;
}

}  // namespace tandrin
