#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "procedures/snapshot_compare.h"

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace tandrin {

// The restore's differences: field, the file's value and the transmitter's,
// in the interface language; two check boxes (off) that add the polling
// address and the final assembly number; Restore and Cancel.
class SnapshotDialog : public QDialog {
    Q_OBJECT

  public:
    SnapshotDialog(const std::vector<FieldDifference>& differences, QWidget* parent);

    CompareScope Scope() const;
    // Runs the dialog: what to restore, or nothing for Cancel.
    static std::optional<CompareScope> Ask(const std::vector<FieldDifference>& differences,
                                           QWidget* parent);

  private:
    // Address and final assembly rows show only while their box is checked.
    void ShowRows();

    std::vector<FieldDifference> m_differences;
    QTableWidget* m_table;
    QCheckBox* m_withAddress;
    QCheckBox* m_withFinal;
    QPushButton* m_restore;
};

}  // namespace tandrin
