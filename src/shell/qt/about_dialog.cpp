#include "shell/qt/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "controls/qt/qt_text.h"
#include "controls/qt/ui_fonts_qt.h"
#include "shell/about_box.h"
#include "shell/main_window_layout.h"
#include "shell/qt/icons.h"

namespace tandrin {

namespace {

QRect ToQRect(const layout::PixelRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(layout::kAboutWidth, layout::kAboutHeight);

    auto* icon = new QLabel(this);
    icon->setGeometry(ToQRect(layout::kAboutIcon));
    icon->setPixmap(AppIcon().pixmap(layout::kAboutIcon.w, layout::kAboutIcon.h));

    auto* version = new QLabel(QStringLiteral("V01"), this);
    version->setObjectName(QStringLiteral("IDC_STA_VERSION"));
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(ToQRect(layout::kAboutVersionLine));
    m_form.Add(about_ids::kVersionLine, version);

    auto* company = new QLabel(this);
    company->setObjectName(QStringLiteral("IDC_STA1"));
    company->setTextFormat(Qt::PlainText);
    company->setGeometry(ToQRect(layout::kAboutCompanyLine));
    m_form.Add(about_ids::kCompanyLine, company);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setGeometry(ToQRect(layout::kAboutOk));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_form.Add(about_ids::kOk, ok);

    ApplyUiFont(this);
    setWindowTitle(ToQt(InitAboutBox(m_form)));
}

}  // namespace tandrin
