// Arbitrary bytes as a language or settings file: every line must parse,
// and a lookup must find the first entry of each name, cut to 255 bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/private_profile.h"

using namespace tandrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<ProfileEntry> entries = ParseProfile(text);
    if (!entries.empty()) {
        const ProfileEntry& first = entries.front();
        const std::string found = LookupProfileString(text, first.section, first.key);
        if (found != first.value.substr(0, kProfileValueLimit)) {
            __builtin_trap();
        }
    }
    if (LookupProfileString(text, "Lang", "Language").size() > kProfileValueLimit) {
        __builtin_trap();
    }
    return 0;
}
