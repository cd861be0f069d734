#include "pages/qt/page_widget.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace tandrin {

PageWidget::PageWidget(QWidget* parent, std::span<const PageControl> controls)
    : QWidget(parent), m_controls(controls) {}

void PageWidget::Register(int id, QWidget* widget, const layout::PixelRect& where) {
    for (const PageControl& control : m_controls) {
        if (control.id == id) {
            widget->setObjectName(QString::fromLatin1(control.name));
        }
    }
    widget->setGeometry(where.x, where.y, where.w, where.h);
    m_form.Add(id, widget);
}

void PageWidget::PlaceStatic(const char* text, const layout::PixelRect& where) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setGeometry(where.x, where.y, where.w, where.h);
}

bool TakesDialogKey(const QWidget& page, const QKeyEvent& event) {
    const int key = event.key();
    const bool endsDialog = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    QWidget* focus = QApplication::focusWidget();
    const bool typing = qobject_cast<QLineEdit*>(focus) != nullptr ||
                        qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
    return endsDialog && typing && page.isAncestorOf(focus);
}

void PageWidget::keyPressEvent(QKeyEvent* event) {
    if (TakesDialogKey(*this, *event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tandrin
