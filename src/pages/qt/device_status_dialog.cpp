#include "pages/qt/device_status_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "controls/qt/qt_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

// How often the window looks whether its sequence is over.
constexpr int kWaitStepMs = 50;

QString Text(const char* key, const char* fallback) {
    const std::string text = LangText(key);
    return text.empty() ? QString::fromUtf8(fallback) : ToQt(text);
}

}  // namespace

DeviceStatusDialog::DeviceStatusDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DeviceStatusDialog"));
    setWindowTitle(Text("strStatusTitle", "Device Status"));
    auto* column = new QVBoxLayout(this);
    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("DeviceStatusTable"));
    m_table->setHorizontalHeaderLabels({Text("strStatusItem", "Item"), Text("strData", "Value")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setMinimumSize(460, 420);
    column->addWidget(m_table);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_read = buttons->addButton(Text("strStatusRead", "Read Again"), QDialogButtonBox::ActionRole);
    m_clear = buttons->addButton(Text("strStatusClearConfig", "Clear \"Configuration Changed\""),
                                 QDialogButtonBox::ActionRole);
    m_read->setObjectName(QStringLiteral("StatusRead"));
    m_clear->setObjectName(QStringLiteral("StatusClearConfig"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_read, &QPushButton::clicked, this, [this] { Read(); });
    connect(m_clear, &QPushButton::clicked, this, [this] { ClearConfigChanged(); });

    m_wait = new QTimer(this);
    m_wait->setInterval(kWaitStepMs);
    connect(m_wait, &QTimer::timeout, this, [this] {
        if (busyFlag != 0) {
            return;
        }
        m_wait->stop();
        m_read->setEnabled(true);
        m_clear->setEnabled(true);
        if (std::exchange(m_bReadAfter, false)) {
            Read();
            return;
        }
        Fill();
    });
    Fill();
    QTimer::singleShot(0, this, [this] { Read(); });
}

void DeviceStatusDialog::Read() {
    if (m_reader.Read()) {
        WaitThenFill();
    }
}

void DeviceStatusDialog::ClearConfigChanged() {
    if (m_reader.ClearConfigChanged()) {
        m_bReadAfter = true;
        WaitThenFill();
    }
}

void DeviceStatusDialog::WaitThenFill() {
    m_read->setEnabled(false);
    m_clear->setEnabled(false);
    m_wait->start();
}

void DeviceStatusDialog::Fill() {
    const std::vector<StatusRow> rows = DeviceStatusRows(hartMaster);
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        m_table->setItem(row, 0, new QTableWidgetItem(ToQt(rows[i].label)));
        m_table->setItem(row, 1, new QTableWidgetItem(ToQt(rows[i].value)));
    }
    m_table->resizeColumnToContents(0);
}

}  // namespace tandrin
