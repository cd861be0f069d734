#include "pages/trend_record.h"

#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <new>

#include "platform/regular_file.h"
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

// Reads either bytes in memory or an open file in chunks: a file is never
// held whole, so a large file of junk fails at its first bad item.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : m_window(bytes), m_size(bytes.size()) {}
    Reader(int fd, std::uint64_t size)
        : m_fd(fd), m_chunk(std::make_unique<char[]>(kChunkBytes)), m_size(size) {}

    std::uint64_t Left() const { return m_size - m_at; }

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

    // A text of at most `ceiling` bytes.
    bool Text(std::string& text, std::size_t ceiling) {
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
        if (length > ceiling || length > Left()) {
            return false;
        }
        text.resize(static_cast<std::size_t>(length));
        for (char& c : text) {
            std::uint8_t byte = 0;
            U8(byte);
            c = static_cast<char>(byte);
        }
        return true;
    }

    bool Section(std::string_view name) {
        std::string text;
        return Text(text, name.size()) && text == name;
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
            if (!F64(samples[i].value) || !I32(samples[i].time)) {
                return false;  // the file shrank while it was read
            }
        }
        return true;
    }

  private:
    bool Little(int bytes, std::uint64_t& value) {
        if (Left() < static_cast<std::uint64_t>(bytes)) {
            return false;
        }
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            if (m_windowAt == m_window.size() && !Refill()) {
                return false;
            }
            value |= std::uint64_t{static_cast<unsigned char>(m_window[m_windowAt++])} << (8 * i);
        }
        m_at += static_cast<std::uint64_t>(bytes);
        return true;
    }

    bool Refill() {
        if (m_fd < 0) {
            return false;
        }
        for (;;) {
            const ssize_t got = read(m_fd, m_chunk.get(), kChunkBytes);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return false;
            }
            m_window = std::string_view(m_chunk.get(), static_cast<std::size_t>(got));
            m_windowAt = 0;
            return true;
        }
    }

    static constexpr std::size_t kChunkBytes = 65536;
    int m_fd = -1;
    std::unique_ptr<char[]> m_chunk;
    std::string_view m_window;
    std::size_t m_windowAt = 0;
    std::uint64_t m_size = 0;
    std::uint64_t m_at = 0;
};

bool Decode(Reader& in, TrendRecord& out) {
    TrendRecord record;
    std::int32_t version = 0;  // not checked: any value loads
    const bool read = in.Section(kCurve) && in.I32(version) && in.Section(kPvCurve) &&
                      in.F64(record.m_PVMin) && in.F64(record.m_PVMax) &&
                      in.Text(record.m_PVUnit, kMaxUnitBytes) && in.Series(record.pv) &&
                      in.Section(kCurrentCurve) && in.Series(record.current) &&
                      in.Section(kPercentCurve) && in.Series(record.percent);
    if (!read) {
        return false;
    }
    out = std::move(record);
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
    try {
        Reader in(bytes);
        return Decode(in, out);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

RecordIo SaveTrendRecord(const std::string& path, const TrendRecord& record) {
    return WriteFileAtomically(path, EncodeTrendRecord(record)) ? RecordIo::kOk
                                                                : RecordIo::kCannotOpen;
}

RecordIo LoadTrendRecord(const std::string& path, TrendRecord& out) {
    UniqueFd fd;
    std::uint64_t size = 0;
    const FileReadStatus opened = OpenRegularFile(path, kMaxRecordBytes, fd, size);
    if (opened.error == FileReadError::kCannotOpen) {
        return RecordIo::kCannotOpen;
    }
    if (!opened) {
        return RecordIo::kBadFile;  // a FIFO, a device, a directory, too large
    }
    try {
        Reader in(fd.Get(), size);
        return Decode(in, out) ? RecordIo::kOk : RecordIo::kBadFile;
    } catch (const std::bad_alloc&) {
        return RecordIo::kBadFile;
    }
}

}  // namespace tandrin
