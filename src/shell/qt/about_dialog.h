#pragma once

#include <QDialog>

#include "shell/qt/qt_form.h"

namespace tandrin {

// The About box: the program's icon, the product name with the version
// "V01", the company line and OK; texts from "kvrfw.dat" and the language.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QtForm& Controls() { return m_form; }

  private:
    QtForm m_form;
};

}  // namespace tandrin
