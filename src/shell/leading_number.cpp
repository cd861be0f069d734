#include "shell/leading_number.h"

#include <algorithm>

namespace tandrin {

unsigned LeadingByte(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    unsigned value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = std::min(255u, value * 10 + static_cast<unsigned>(text[at] - '0'));
    }
    return value;
}

}  // namespace tandrin
