#include "controls/qt/control_painting.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <map>

#include "controls/qt/qt_colour.h"
#include "controls/qt/qt_text.h"
#include "controls/ui_fonts.h"

namespace tandrin {

namespace {

// Arial's character cell is 1.15 of its em, as is that of its metric twin.
const UiFontRequest& ArialRequest() {
    static const UiFontRequest request{
        kArialFace, 23, 20, {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans", "FreeSans"}};
    return request;
}

const UiFontRequest& RequestFor(const std::string& face) {
    if (face == kSongFace) {
        return ChineseFontRequest();
    }
    if (face == kCalibriFace) {
        return WesternFontRequest();
    }
    return ArialRequest();
}

// Looking a face up walks the font database: done once per face.
QString InstalledFace(const std::string& face) {
    static std::map<std::string, QString> known;
    const auto found = known.find(face);
    if (found != known.end()) {
        return found->second;
    }
    std::vector<std::string> installed;
    for (const QString& family : QFontDatabase::families()) {
        installed.push_back(family.toStdString());
    }
    const QString picked = QString::fromStdString(PickFace(RequestFor(face), installed));
    known.emplace(face, picked);
    return picked;
}

QFont::Weight WeightOf(int weight) {
    return weight >= 800 ? QFont::Black : (weight >= 600 ? QFont::Bold : QFont::Normal);
}

}  // namespace

QPolygon ToQPolygon(const Polygon& polygon) {
    QPolygon result;
    result.reserve(static_cast<qsizetype>(polygon.size()));
    for (const Point& p : polygon) {
        result << ToQPoint(p);
    }
    return result;
}

QFont ControlFont(const FontChoice& wanted) {
    QFont font;
    const QString face = InstalledFace(wanted.face);
    if (!face.isEmpty()) {
        font.setFamily(face);
    }
    const UiFontRequest& request = RequestFor(wanted.face);
    const int pixels = wanted.height * request.pixelSize / std::max(request.cellHeight, 1);
    font.setPixelSize(std::max(pixels, 1));
    font.setWeight(WeightOf(wanted.weight));
    return font;
}

TextSize MeasureControlText(const std::string& text, const FontChoice& wanted) {
    const QFontMetrics metrics(ControlFont(wanted));
    return {metrics.horizontalAdvance(ToQt(text)), metrics.height()};
}

void DrawTextItem(QPainter& painter, const TextItem& item) {
    const QFont font = ControlFont(item.font);
    const QFontMetrics metrics(font);
    const QString text = ToQt(item.text);
    int x = item.at.x;
    const int width = metrics.horizontalAdvance(text);
    if (item.hAlign == HAlign::kCentre) {
        x -= width / 2;
    } else if (item.hAlign == HAlign::kRight) {
        x -= width;
    }
    int baseline = item.at.y;
    if (item.vAlign == VAlign::kTop) {
        baseline += metrics.ascent();
    } else if (item.vAlign == VAlign::kBottom) {
        baseline -= metrics.descent();
    }
    painter.setFont(font);
    painter.setPen(ToQColor(item.colour));
    painter.drawText(QPoint(x, baseline), text);
}

}  // namespace tandrin
