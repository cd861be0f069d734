#include "procedures/qt/survey_dialog.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "controls/qt/qt_text.h"
#include "device/degree_text.h"
#include "device/encodings.h"
#include "device/response_codes.h"
#include "link/hart_master.h"
#include "pages/decimal_text.h"
#include "platform/text_codec.h"
#include "procedures/survey_export.h"
#include "procedures/survey_text.h"
#include "shell/atomic_file.h"
#include "shell/qt/user_prompts.h"

namespace tandrin {

namespace {

constexpr double kDefaultRefreshSeconds = 5;

QString Text(const char* key) {
    return ToQt(SurveyText(key));
}

QString WithNumber(const char* key, long number) {
    return Text(key).replace(QStringLiteral("%s"), QString::number(number));
}

std::string InterfaceToUtf8(const std::string& text) {
    return ToUtf8(text, chineseUi.load() == 1);
}

// A cell that sorts by its number, not its text.
class NumberItem : public QTableWidgetItem {
  public:
    NumberItem(const QString& text, double value) : QTableWidgetItem(text) {
        setData(Qt::UserRole, value);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

}  // namespace

SurveyDialog::SurveyDialog(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_survey(*hartMaster.Loop()) {
    setWindowTitle(Text("Caption"));
    m_addresses = new QLineEdit(QStringLiteral("0-15"), this);
    m_tries = new QSpinBox(this);
    m_tries->setRange(1, Survey::kDefaultTries);
    m_tries->setValue(Survey::kDefaultTries);
    m_refresh = new QDoubleSpinBox(this);
    m_refresh->setRange(0.5, 3600);
    m_refresh->setValue(kDefaultRefreshSeconds);
    m_search = new QPushButton(Text("Search"), this);
    m_refreshButton = new QPushButton(Text("Refresh"), this);
    m_stop = new QPushButton(Text("Stop"), this);
    m_use = new QPushButton(Text("MakeCurrent"), this);
    m_csv = new QPushButton(Text("ExportCsv"), this);
    m_json = new QPushButton(Text("ExportJson"), this);
    m_close = new QPushButton(Text("Close"), this);
    m_progress = new QLabel(this);
    m_table = new QTableWidget(0, kColumns, this);
    const char* headers[kColumns] = {"Address", "LongAddress", "Manufacturer", "DeviceType",
                                     "Tag",     "Descriptor",  "Pv",           "Unit",
                                     "Current", "Percent",     "Status"};
    QStringList labels;
    for (const char* key : headers) {
        labels << Text(key);
    }
    m_table->setHorizontalHeaderLabels(labels);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(kAddress, Qt::AscendingOrder);
    m_table->verticalHeader()->hide();

    auto* settings = new QHBoxLayout;
    settings->addWidget(new QLabel(Text("Addresses"), this));
    settings->addWidget(m_addresses);
    settings->addWidget(new QLabel(Text("Tries"), this));
    settings->addWidget(m_tries);
    settings->addWidget(new QLabel(Text("RefreshEvery"), this));
    settings->addWidget(m_refresh);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_search, m_refreshButton, m_stop, m_use, m_csv, m_json}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(m_table);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    resize(900, 420);

    connect(m_search, &QPushButton::clicked, this, &SurveyDialog::StartSearch);
    connect(m_refreshButton, &QPushButton::clicked, this, &SurveyDialog::StartRefresh);
    connect(m_stop, &QPushButton::clicked, this, &SurveyDialog::Stop);
    connect(m_use, &QPushButton::clicked, this, &SurveyDialog::UseCurrentRow);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &SurveyDialog::UseCurrentRow);
    connect(m_csv, &QPushButton::clicked, this, [this] { Save(false); });
    connect(m_json, &QPushButton::clicked, this, [this] { Save(true); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    m_survey.SetOnRow([this](std::size_t row) { Fill(row); });
    m_survey.SetOnChange([this] { Update(); });
    Update();
}

SurveyDialog::~SurveyDialog() {
    m_survey.Stop();
}

void SurveyDialog::done(int result) {
    m_survey.Stop();  // never leave the line held by a closed window
    QDialog::done(result);
}

void SurveyDialog::StartSearch() {
    std::vector<int> addresses;
    if (!ParseSurveyAddresses(FromQt(m_addresses->text(), false), addresses)) {
        m_prompts.Message(Text("BadAddresses"), windowTitle(), MessageIcon::kWarning);
        return;
    }
    m_table->setSortingEnabled(false);
    m_table->setRowCount(0);
    m_table->setSortingEnabled(true);
    m_survey.Start(addresses, m_tries->value());
    Update();
}

void SurveyDialog::StartRefresh() {
    m_survey.StartRefresh(static_cast<std::uint32_t>(m_refresh->value() * 1000));
    Update();
}

void SurveyDialog::Stop() {
    m_survey.Stop();
    Update();
}

void SurveyDialog::UseCurrentRow() {
    const int row = m_table->currentRow();
    if (row < 0 || m_survey.Running()) {
        return;
    }
    const int address = m_table->item(row, kAddress)->data(Qt::UserRole).toInt();
    const auto& devices = m_survey.Devices();
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].address == address) {
            m_survey.MakeCurrent(i);
        }
    }
}

void SurveyDialog::Fill(std::size_t index) {
    const SurveyDevice& d = m_survey.Devices()[index];
    // Rows are found by address: the table may be sorted by any column.
    int row = -1;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        if (m_table->item(r, kAddress)->data(Qt::UserRole).toInt() == d.address) {
            row = r;
        }
    }
    m_table->setSortingEnabled(false);
    if (row < 0) {
        row = m_table->rowCount();
        m_table->insertRow(row);
    }
    const auto number = [](double value, int decimals) {
        return new NumberItem(QString::fromStdString(FixedText(value, decimals)), value);
    };
    const auto text = [](const std::string& interfaceText) {
        return new QTableWidgetItem(ToQt(interfaceText));
    };
    m_table->setItem(row, kAddress, new NumberItem(QString::number(d.address), d.address));
    m_table->setItem(row, kLongAddress,
                     new QTableWidgetItem(QString::fromStdString(
                         BytesToHex(d.longAddress.data(), d.longAddress.size()))));
    m_table->setItem(row, kManufacturer,
                     new NumberItem(QString::number(d.manufacturer, 16).toUpper(), d.manufacturer));
    m_table->setItem(row, kDeviceType,
                     new NumberItem(QString::number(d.deviceType, 16).toUpper(), d.deviceType));
    m_table->setItem(row, kTag, text(d.tag));
    m_table->setItem(row, kDescriptor, text(d.descriptor));
    if (d.valuesRead) {
        m_table->setItem(row, kPv, number(d.pv, 3));
        m_table->setItem(row, kUnit, text(d.unit));
        m_table->setItem(row, kCurrent, number(d.currentMa, 3));
        m_table->setItem(row, kPercent, number(d.percent, 2));
    }
    auto* status = d.answering ? text(SurveyStatusWords(d.deviceStatus))
                               : new QTableWidgetItem(Text("NoAnswer"));
    status->setToolTip(ToQt(SurveyStatusDetail(d.deviceStatus)));
    if (!d.answering || MostSeriousStatus(d.deviceStatus) != nullptr) {
        status->setForeground(d.answering ? QColor(160, 100, 0) : QColor(200, 0, 0));
    }
    m_table->setItem(row, kStatus, status);
    m_table->setSortingEnabled(true);
}

void SurveyDialog::Update() {
    const bool running = m_survey.Running();
    m_search->setEnabled(!running);
    m_refreshButton->setEnabled(!running && !m_survey.Devices().empty());
    m_stop->setEnabled(running);
    m_use->setEnabled(!running && !m_survey.Devices().empty());
    m_addresses->setEnabled(!running);
    m_tries->setEnabled(!running);
    const long found = static_cast<long>(m_survey.Devices().size());
    switch (m_survey.CurrentState()) {
        case Survey::State::kSearching:
            m_progress->setText(
                WithNumber("Trying", m_survey.Trying()) +
                QStringLiteral("  (%1/%2)").arg(m_survey.Tried() + 1).arg(m_survey.ToTry()));
            break;
        case Survey::State::kRefreshing:
        case Survey::State::kWaiting:
            m_progress->setText(Text("Refreshing"));
            break;
        case Survey::State::kStopped:
            m_progress->setText(WithNumber("Stopped", found));
            break;
        case Survey::State::kDone:
        case Survey::State::kFailed:
            m_progress->setText(WithNumber("Found", found));
            break;
        case Survey::State::kIdle:
            m_progress->clear();
            break;
    }
}

bool SurveyDialog::Export(const QString& path) {
    const bool json = path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
    const std::string content = json ? SurveyJson(m_survey.Devices(), InterfaceToUtf8)
                                     : SurveyCsv(m_survey.Devices(), InterfaceToUtf8);
    return WriteFileAtomically(path.toStdString(), content);
}

void SurveyDialog::Save(bool json) {
    const QString path = json ? m_prompts.SaveFile(QStringLiteral("JSON (*.json)"), "json")
                              : m_prompts.SaveFile(QStringLiteral("CSV (*.csv)"), "csv");
    if (!path.isEmpty() && !Export(path)) {
        m_prompts.Message(Text("ExportFailed"), windowTitle(), MessageIcon::kWarning);
    }
}

}  // namespace tandrin
