#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tandrin {

// Longest line the loop check takes as a reading; a real one is a number.
constexpr std::size_t kLongestReadingLine = 256;

// Cuts the bytes of a readings source (a file, a pipe, a terminal) into
// lines as they arrive, in memory bounded by the longest line and what was
// appended, and in time linear in the bytes. A line longer than the
// longest is not kept whole: its first bytes are, and it is marked too
// long. Line ends are LF or CRLF.
class ReadingLines {
  public:
    struct Line {
        std::string text;      // without its end; cut to the longest when too long
        bool tooLong = false;  // the line went on beyond the longest
    };

    explicit ReadingLines(std::size_t longest = kLongestReadingLine) : m_longest(longest) {}

    void Append(std::string_view bytes);
    // The input ended: what is left is the last line.
    void Finish() { m_finished = true; }
    // The next whole line, if one has arrived.
    std::optional<Line> Take();
    // Nothing more will come out.
    bool Exhausted() const { return m_finished && m_pos == m_buffer.size() && !m_skipping; }

  private:
    Line Cut(std::size_t end);

    std::size_t m_longest;
    std::string m_buffer;
    std::size_t m_pos = 0;    // start of the line being read
    bool m_skipping = false;  // inside a too-long line, dropping until its end
    std::string m_kept;       // that line's first bytes
    bool m_finished = false;
};

}  // namespace tandrin
