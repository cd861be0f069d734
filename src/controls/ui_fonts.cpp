#include "controls/ui_fonts.h"

#include <algorithm>
#include <cctype>

namespace tandrin {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

const UiFontRequest& ChineseFontRequest() {
    static const UiFontRequest request{
        "\xE5\xAE\x8B\xE4\xBD\x93",  // 宋体
        14,
        14,
        {"SimSun", "NSimSun", "Noto Serif CJK SC", "Noto Sans CJK SC", "Source Han Serif SC",
         // Zen Hei before Micro Hei: Micro Hei claims "℃" (U+2103) but draws
         // it empty, and every Celsius unit in the Chinese interface is "℃".
         "Source Han Sans SC", "WenQuanYi Zen Hei", "WenQuanYi Micro Hei", "AR PL UMing CN",
         "AR PL SungtiL GB", "Droid Sans Fallback"}};
    return request;
}

const UiFontRequest& WesternFontRequest() {
    static const UiFontRequest request{"Calibri", 16, 13, {"Carlito"}};
    return request;
}

const UiFontRequest& ReadoutFontRequest() {
    static const UiFontRequest request{
        "MS Serif", 0, 0, {"Liberation Serif", "DejaVu Serif", "Noto Serif", "FreeSerif"}};
    return request;
}

std::string PickFace(const UiFontRequest& request, const std::vector<std::string>& installed) {
    const auto isInstalled = [&installed](const std::string& face) {
        return std::any_of(installed.begin(), installed.end(),
                           [&face](const std::string& name) { return SameName(name, face); });
    };
    if (isInstalled(request.face)) {
        return request.face;
    }
    for (const std::string& face : request.substitutes) {
        if (isInstalled(face)) {
            return face;
        }
    }
    return {};
}

}  // namespace tandrin
