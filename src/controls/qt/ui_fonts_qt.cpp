#include "controls/qt/ui_fonts_qt.h"

#include <QFontDatabase>
#include <QMenu>
#include <QToolTip>
#include <QWidget>
#include <optional>

#include "controls/ui_fonts.h"
#include "device/degree_text.h"

namespace tandrin {

namespace {

std::optional<QFont> chineseFont;
std::optional<QFont> westernFont;

QFont MakeFont(const UiFontRequest& request, const std::vector<std::string>& installed) {
    QFont font;
    const std::string face = PickFace(request, installed);
    if (!face.empty()) {
        font.setFamily(QString::fromStdString(face));
    }
    font.setPixelSize(request.pixelSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace

void CreateUiFonts() {
    if (chineseFont && westernFont) {
        return;
    }
    std::vector<std::string> installed;
    for (const QString& family : QFontDatabase::families()) {
        installed.push_back(family.toStdString());
    }
    chineseFont = MakeFont(ChineseFontRequest(), installed);
    westernFont = MakeFont(WesternFontRequest(), installed);
}

const QFont& ChineseFont() {
    CreateUiFonts();
    return *chineseFont;
}

const QFont& WesternFont() {
    CreateUiFonts();
    return *westernFont;
}

const QFont& UiFont() {
    return chineseUi.load() == 1 ? ChineseFont() : WesternFont();
}

void ApplyUiFont(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    const QFont& font = UiFont();
    window->setFont(font);
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        menu->setFont(font);
    }
    QToolTip::setFont(font);
    window->update();
}

}  // namespace tandrin
