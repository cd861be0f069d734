#include "device/degree_text.h"

namespace tandrin {

std::atomic<int> chineseUi{0};

std::string DegreeText() {
    return chineseUi.load(std::memory_order_relaxed) == 1 ? std::string("\xA1\xE6")
                                                          : std::string("\xB0\x43");
}

}  // namespace tandrin
