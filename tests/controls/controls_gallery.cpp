// Renders each drawn control alone, offscreen, for the eye and the docs:
// controls_gallery <directory> writes trend-following.png,
// trend-cursor.png, gauges.png and list.png there.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <cmath>
#include <cstdio>

#include "controls/qt/control_painting.h"
#include "controls/qt/dial_gauge.h"
#include "controls/qt/sortable_list.h"
#include "controls/qt/trend_chart.h"

namespace tandrin {
namespace {

const std::string kCelsius =
    "\xB0"
    "C";  // Windows-1252

// A slow warming with a ripple, sampled every 2 s.
SampleList Warming(int count) {
    SampleList list;
    for (int i = 0; i < count; ++i) {
        const double value = 60.0 + 25.0 * std::tanh((i - 120) / 60.0) + 6.0 * std::sin(i / 4.0);
        list.push_back({value, 1'700'000'000 + 2 * i});
    }
    return list;
}

void FitPlot(TrendChart& chart, QSize plot) {
    chart.resize(plot + QSize(2, 2) +
                 QSize(chart.verticalScrollBar()->sizeHint().width(),
                       chart.horizontalScrollBar()->sizeHint().height()));
}

bool Save(const QImage& image, const QDir& dir, const char* name) {
    const QString path = dir.filePath(name);
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool ShootFollowing(const QDir& dir) {
    const SampleList list = Warming(400);
    TrendChart chart;
    FitPlot(chart, QSize(600, 300));
    chart.SetRange(0, 100, "PV", kCelsius, std::string("Process value"));
    chart.show();
    chart.SetSamples(&list, true);
    chart.grab();  // the first repaint follows the newest samples and moves the bars
    return Save(chart.grab().toImage(), dir, "trend-following.png");
}

// The chart with a marked sample and its balloon laid over it where the
// balloon window stands.
bool ShootCursor(const QDir& dir) {
    const SampleList list = Warming(400);
    TrendChart chart;
    FitPlot(chart, QSize(600, 300));
    chart.SetRange(0, 100, "PV", kCelsius, std::string("Process value"));
    chart.SetDetailed(true);
    chart.show();
    chart.SetSamples(&list, false);
    chart.HorizontalScroll(ScrollRequest::kThumbRelease, 100);
    QApplication::processEvents();
    const QPoint click(chart.viewport()->width() * 3 / 5, 150);
    chart.OnLButtonDown({click.x(), click.y()});
    const std::optional<PointTip> tip = chart.OnLButtonUp({click.x(), click.y()});
    if (!tip) {
        return false;
    }
    BalloonTip& balloon = chart.Tip();
    balloon.ShowTip(QString::fromStdString(tip->text),
                    chart.viewport()->mapToGlobal(ToQPoint(tip->anchor)));

    QImage picture = chart.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QImage bubble(balloon.size(), QImage::Format_ARGB32);
    bubble.fill(Qt::transparent);
    balloon.render(&bubble, QPoint(), QRegion(), QWidget::DrawChildren);
    QPainter painter(&picture);
    const QPoint at = chart.mapFromGlobal(balloon.pos());
    painter.setClipRegion(balloon.mask().translated(at));
    painter.drawImage(at, bubble);
    painter.end();
    balloon.HideTip();
    return Save(picture, dir, "trend-cursor.png");
}

bool ShootGauges(const QDir& dir) {
    const int side = 260;
    QImage strip(3 * side, side, QImage::Format_RGB32);
    QPainter painter(&strip);
    const double values[] = {0.0, 50.0, 21.3};
    for (int i = 0; i < 3; ++i) {
        DialGauge gauge;
        gauge.resize(side, side);
        if (i == 2) {
            gauge.SetScale(4, 20, "mA", 3);
            gauge.SetLabelDecimals(1);
        }
        gauge.SetValue(values[i]);
        gauge.show();
        painter.drawImage(i * side, 0, gauge.grab().toImage());
    }
    painter.end();
    return Save(strip, dir, "gauges.png");
}

bool ShootList(const QDir& dir) {
    SortableList list;
    list.resize(260, 360);
    list.SetColumns("Time,80;Value,90;Unit,50");
    std::vector<std::vector<std::string>> rows;
    const SampleList samples = Warming(300);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        char time[48];
        char value[32];
        std::snprintf(time, sizeof time, "10:%02zu:%02zu", (2 * i) / 60, (2 * i) % 60);
        std::snprintf(value, sizeof value, "%.3f", samples[i].value);
        rows.push_back({time, value, kCelsius});
    }
    list.AddRows(std::move(rows));
    list.SortByColumn(1, false);
    list.show();
    return Save(list.grab().toImage(), dir, "list.png");
}

}  // namespace
}  // namespace tandrin

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: controls_gallery <directory>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        std::fprintf(stderr, "no directory %s\n", argv[1]);
        return 2;
    }
    using namespace tandrin;
    const bool written =
        ShootFollowing(dir) && ShootCursor(dir) && ShootGauges(dir) && ShootList(dir);
    return written ? 0 : 1;
}
