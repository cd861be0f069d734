#include "shell/qt/icons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace tandrin {

namespace {

QIcon RenderedIcon(const QString& path, std::initializer_list<int> sizes) {
    if (!QFile::exists(path)) {
        return QIcon();
    }
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return QIcon();
    }
    QIcon icon;
    for (const int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon ToolIcon(const QString& name) {
    return RenderedIcon(QStringLiteral(":/icons/%1.svg").arg(name), {32, 64});
}

QIcon AppIcon() {
    return RenderedIcon(QStringLiteral(":/icons/tandrin.svg"), {16, 32, 48, 64, 128});
}

}  // namespace tandrin
