#pragma once

#include <cstdint>

namespace tandrin {

// A colour as the layouts give it: red, green, blue.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// The system colours a drawn control falls back to. The toolkit fills them
// in from its palette; the defaults are the classic Windows scheme.
struct SystemColours {
    Rgb face{240, 240, 240};        // button face
    Rgb text{0, 0, 0};              // button text
    Rgb highlight{255, 255, 255};   // 3-D highlight
    Rgb light{227, 227, 227};       // 3-D light
    Rgb shadow{160, 160, 160};      // button shadow
    Rgb darkShadow{105, 105, 105};  // 3-D dark shadow
};

}  // namespace tandrin
