#include "procedures/reading_lines.h"

namespace tandrin {

void ReadingLines::Append(std::string_view bytes) {
    // Drop what has been taken before it costs a copy per line.
    if (m_pos > 0) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
    m_buffer.append(bytes);
}

ReadingLines::Line ReadingLines::Cut(std::size_t end) {
    Line line;
    line.text.assign(m_buffer, m_pos, end - m_pos);
    if (!line.text.empty() && line.text.back() == '\r') {
        line.text.pop_back();
    }
    if (line.text.size() > m_longest) {
        line.text.resize(m_longest);
        line.tooLong = true;
    }
    return line;
}

std::optional<ReadingLines::Line> ReadingLines::Take() {
    while (true) {
        const std::size_t newline = m_buffer.find('\n', m_pos);
        if (m_skipping) {
            if (newline == std::string::npos && !m_finished) {
                m_pos = m_buffer.size();  // dropped unseen
                return std::nullopt;
            }
            m_pos = newline == std::string::npos ? m_buffer.size() : newline + 1;
            m_skipping = false;
            return Line{std::move(m_kept), true};
        }
        const std::size_t end = newline == std::string::npos ? m_buffer.size() : newline;
        if (end - m_pos > m_longest + 1) {  // + 1: the CR of a CRLF end
            m_kept.assign(m_buffer, m_pos, m_longest);
            m_skipping = true;
            m_pos += m_longest;
            continue;
        }
        if (newline != std::string::npos) {
            Line line = Cut(newline);
            m_pos = newline + 1;
            return line;
        }
        if (m_finished && m_pos < m_buffer.size()) {
            Line line = Cut(m_buffer.size());
            m_pos = m_buffer.size();
            return line;
        }
        return std::nullopt;
    }
}

}  // namespace tandrin
