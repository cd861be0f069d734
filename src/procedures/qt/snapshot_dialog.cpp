#include "procedures/qt/snapshot_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "controls/qt/qt_text.h"
#include "controls/qt/ui_fonts_qt.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

QString Text(const char* key, const char* fallback) {
    const std::string text = LangText("Snapshot", key);
    return text.empty() ? QString::fromLatin1(fallback) : ToQt(text);
}

}  // namespace

SnapshotDialog::SnapshotDialog(const std::vector<FieldDifference>& differences, QWidget* parent)
    : QDialog(parent), m_differences(differences) {
    setObjectName(QStringLiteral("SnapshotDialog"));
    setWindowTitle(Text("strSnapTitle", "Restore Device Configuration"));
    ApplyUiFont(this);
    auto* column = new QVBoxLayout(this);
    auto* intro = new QLabel(Text("strSnapIntro", "These values differ."), this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    m_table = new QTableWidget(static_cast<int>(differences.size()), 3, this);
    m_table->setObjectName(QStringLiteral("SnapshotDifferences"));
    m_table->setHorizontalHeaderLabels({Text("strSnapColField", "Value"),
                                        Text("strSnapColFile", "In the file"),
                                        Text("strSnapColDevice", "In the transmitter")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const FieldDifference& d = differences[static_cast<std::size_t>(row)];
        const std::string cells[3] = {FieldCaption(d.field), FieldValueText(d.field, d.snapshot),
                                      FieldValueText(d.field, d.device)};
        for (int column = 0; column < 3; ++column) {
            m_table->setItem(row, column, new QTableWidgetItem(ToQt(cells[column])));
        }
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumWidth(480);
    column->addWidget(m_table);

    m_withAddress =
        new QCheckBox(Text("strSnapWithAddress", "Also restore the polling address"), this);
    m_withAddress->setObjectName(QStringLiteral("SnapshotWithAddress"));
    m_withFinal =
        new QCheckBox(Text("strSnapWithFinal", "Also restore the final assembly number"), this);
    m_withFinal->setObjectName(QStringLiteral("SnapshotWithFinalAssembly"));
    column->addWidget(m_withAddress);
    column->addWidget(m_withFinal);
    connect(m_withAddress, &QCheckBox::toggled, this, [this] { ShowRows(); });
    connect(m_withFinal, &QCheckBox::toggled, this, [this] { ShowRows(); });

    auto* buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(Text("strSnapRestore", "Restore"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("SnapshotRestore"));
    QPushButton* cancel =
        buttons->addButton(Text("strSnapCancel", "Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("SnapshotCancel"));
    // Nothing is written by a stray Enter.
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    ShowRows();
}

void SnapshotDialog::ShowRows() {
    int shown = 0;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const std::string& field = m_differences[static_cast<std::size_t>(row)].field;
        const bool show = (field != "poll_address" || m_withAddress->isChecked()) &&
                          (field != "final_assembly" || m_withFinal->isChecked());
        m_table->setRowHidden(row, !show);
        shown += show ? 1 : 0;
    }
    m_restore->setEnabled(shown > 0);
}

CompareScope SnapshotDialog::Scope() const {
    return {m_withAddress->isChecked(), m_withFinal->isChecked()};
}

std::optional<CompareScope> SnapshotDialog::Ask(const std::vector<FieldDifference>& differences,
                                                QWidget* parent) {
    SnapshotDialog dialog(differences, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Scope();
}

}  // namespace tandrin
