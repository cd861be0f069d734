#pragma once

#include <QDialog>

#include "pages/device_status.h"

class QPushButton;
class QTableWidget;
class QTimer;

namespace tandrin {

// Device > Device Status…: reads command 48 when it opens and shows the
// device status bits and the additional status in a table; Read Again, and
// Clear "Configuration Changed" (asked first). The logic is the core's
// DeviceStatusReader.
class DeviceStatusDialog : public QDialog {
    Q_OBJECT

  public:
    explicit DeviceStatusDialog(QWidget* parent = nullptr);

    QTableWidget* Table() const { return m_table; }

  private:
    void Read();
    void ClearConfigChanged();
    // Fills the table once the sequence started is over.
    void WaitThenFill();
    void Fill();

    DeviceStatusReader m_reader;
    QTableWidget* m_table = nullptr;
    QPushButton* m_read = nullptr;
    QPushButton* m_clear = nullptr;
    QTimer* m_wait = nullptr;
    bool m_bReadAfter = false;  // after clearing, read the bits again
};

}  // namespace tandrin
