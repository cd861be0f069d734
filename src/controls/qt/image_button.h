#pragma once

#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include "controls/image_button_model.h"

class QMenu;

namespace tandrin {

// The owner-drawn push button of the page column: flat or classic look, six
// colour slots, an optional image beside the caption, and as click
// behaviours check mode, a drop-down menu or a link. Drawing follows the
// model's frame plan.
class ImageButton : public QPushButton, public ImageButtonModel {
    Q_OBJECT

  public:
    explicit ImageButton(QWidget* parent = nullptr);
    ImageButton(const QString& text, QWidget* parent);

    // Takes over the style of a dialog control: check box or default button.
    void Attach(bool checkBox, bool defaultButton);
    // Idle image and the one shown while pressed (null: the idle one).
    void SetIcons(const QIcon& idle, const QIcon& pressed = QIcon(), QSize size = QSize(32, 32));
    // Image with its mask (bits set where the image shows).
    void SetBitmaps(const QPixmap& idle, const QBitmap& idleMask,
                    const QPixmap& pressed = QPixmap(), const QBitmap& pressedMask = QBitmap());
    // The menu drops down at the lower-left corner on a click; the chosen
    // action triggers as usual.
    void SetMenu(QMenu* menu);

    // Paint events so far, for the tests of "repaint" and "no repaint".
    int PaintCount() const { return m_nPaints; }

  protected:
    void Repaint() override { update(); }
    void paintEvent(QPaintEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void OnClicked();

    QIcon m_idleIcon;
    QIcon m_pressedIcon;
    QSize m_imageSize;
    QPointer<QMenu> m_menu;
    bool m_bMenuOpen = false;
    int m_nPaints = 0;
};

}  // namespace tandrin
