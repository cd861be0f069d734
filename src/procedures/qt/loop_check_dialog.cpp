#include "procedures/qt/loop_check_dialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "controls/qt/qt_text.h"
#include "controls/qt/ui_fonts_qt.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/decimal_text.h"
#include "procedures/loop_check_report.h"
#include "procedures/loop_check_text.h"
#include "shell/atomic_file.h"
#include "shell/lang_text.h"
#include "shell/qt/user_prompts.h"

namespace tandrin {

namespace {

using State = LoopCheck::State;

// How often closing looks whether the release is through.
constexpr std::uint32_t kCloseWaitMs = 20;
// Releases sent on closing before the window gives up and leaves the note
// to the main window's question.
constexpr int kMostStops = 3;
const char* const kPlotResource = "loop-check-plot.png";

enum Column { kPassColumn, kPoint, kExpected, kReading, kTransmitter, kError, kResult, kColumns };

QString Text(const std::string& key) {
    return ToQt(LoopCheckText(key));
}

QString Number(double value, int decimals) {
    return std::isnan(value) ? QString() : QString::fromStdString(FixedText(value, decimals));
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* Label(QWidget* parent, QWidget* buddy) {
    auto* label = new QLabel(parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

LoopCheckDialog::LoopCheckDialog(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts) {
    setObjectName(QStringLiteral("LoopCheckDialog"));
    BuildWidgets();
    Translate();
    ApplyUiFont(this);
    m_check.SetOnChange([this] { Refresh(); });
    Refresh();
}

LoopCheckDialog::~LoopCheckDialog() {
    m_check.SetOnChange(nullptr);
}

void LoopCheckDialog::BuildWidgets() {
    const LoopCheckSettings defaults;
    m_points = Edit(this, "LoopPoints", QString::fromStdString(PointsText(defaults.points)));
    m_tolerance = Edit(this, "LoopTolerance", QStringLiteral("0.1"));
    m_settle = Edit(this, "LoopSettle", QStringLiteral("0"));
    m_technician = Edit(this, "LoopTechnician", QString());
    m_meter = Edit(this, "LoopMeter", QString());
    m_readTransmitter = new QCheckBox(this);
    m_readTransmitter->setObjectName(QStringLiteral("LoopReadTransmitter"));
    m_readTransmitter->setChecked(defaults.readTransmitter);
    m_pointsLabel = Label(this, m_points);
    m_toleranceLabel = Label(this, m_tolerance);
    m_settleLabel = Label(this, m_settle);
    m_technicianLabel = Label(this, m_technician);
    m_meterLabel = Label(this, m_meter);

    auto* settings = new QGridLayout;
    settings->addWidget(m_pointsLabel, 0, 0);
    settings->addWidget(m_points, 0, 1);
    settings->addWidget(m_technicianLabel, 0, 2);
    settings->addWidget(m_technician, 0, 3);
    settings->addWidget(m_toleranceLabel, 1, 0);
    settings->addWidget(m_tolerance, 1, 1);
    settings->addWidget(m_meterLabel, 1, 2);
    settings->addWidget(m_meter, 1, 3);
    settings->addWidget(m_settleLabel, 2, 0);
    settings->addWidget(m_settle, 2, 1);
    settings->addWidget(m_readTransmitter, 2, 2, 1, 2);

    m_table = new QTableWidget(0, kColumns, this);
    m_table->setObjectName(QStringLiteral("LoopTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setMinimumSize(720, 260);

    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("LoopPrompt"));
    m_prompt->setWordWrap(true);
    m_prompt->setMinimumHeight(36);
    m_reading = Edit(this, "LoopReading", QString());
    m_readingLabel = Label(this, m_reading);
    m_next = Button(this, "LoopNext");
    m_next->setDefault(true);
    auto* reading = new QHBoxLayout;
    reading->addWidget(m_readingLabel);
    reading->addWidget(m_reading);
    reading->addWidget(m_next);

    m_start = Button(this, "LoopStart");
    m_stop = Button(this, "LoopStop");
    m_save = Button(this, "LoopSave");
    m_print = Button(this, "LoopPrint");
    m_close = Button(this, "LoopClose");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_start, m_stop}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    for (QPushButton* button : {m_save, m_print, m_close}) {
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_prompt);
    layout->addLayout(reading);
    layout->addLayout(buttons);

    connect(m_start, &QPushButton::clicked, this, &LoopCheckDialog::StartCheck);
    connect(m_next, &QPushButton::clicked, this, &LoopCheckDialog::EnterReading);
    connect(m_reading, &QLineEdit::returnPressed, this, &LoopCheckDialog::EnterReading);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_check.Stop(); });
    connect(m_save, &QPushButton::clicked, this, &LoopCheckDialog::SaveClicked);
    connect(m_print, &QPushButton::clicked, this, &LoopCheckDialog::PrintClicked);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void LoopCheckDialog::Translate() {
    setWindowTitle(Text("Caption"));
    const std::pair<QLabel*, const char*> labels[] = {
        {m_pointsLabel, "Points"}, {m_toleranceLabel, "Tolerance"},
        {m_settleLabel, "Settle"}, {m_technicianLabel, "Technician"},
        {m_meterLabel, "Meter"},   {m_readingLabel, "Reading"}};
    for (const auto& [label, key] : labels) {
        label->setText(Text(key));
    }
    m_readTransmitter->setText(Text("ReadTransmitter"));
    const std::pair<QPushButton*, const char*> buttons[] = {
        {m_start, "Start"},     {m_next, "Next"},   {m_stop, "Stop"},
        {m_save, "SaveReport"}, {m_print, "Print"}, {m_close, "Close"}};
    for (const auto& [button, key] : buttons) {
        button->setText(Text(key));
    }
    m_table->setHorizontalHeaderLabels({Text("Pass"), Text("Point"), Text("Expected"),
                                        Text("Measured"), Text("Transmitter"), Text("Error"),
                                        Text("Result")});
}

void LoopCheckDialog::Warn(const std::string& key) {
    m_prompts.Message(Text(key), windowTitle(), MessageIcon::kInformation);
}

void LoopCheckDialog::StartCheck() {
    LoopCheckSettings settings;
    const auto points = ParsePoints(m_points->text().toStdString());
    const auto tolerance = ParseDecimal(m_tolerance->text().toStdString());
    const auto settle = ParseDecimal(m_settle->text().toStdString());
    if (!points) {
        Warn("BadPoints");
        m_points->setFocus();
        return;
    }
    if (!tolerance || !ToleranceValid(*tolerance)) {
        Warn("BadTolerance");
        m_tolerance->setFocus();
        return;
    }
    if (!settle || !SettleValid(*settle)) {
        Warn("BadSettle");
        m_settle->setFocus();
        return;
    }
    settings.points = *points;
    settings.tolerance = *tolerance;
    settings.settleSeconds = *settle;
    settings.readTransmitter = m_readTransmitter->isChecked();
    m_bAsFoundHandled = false;
    m_check.Start(settings);
    Refresh();
}

void LoopCheckDialog::EnterReading() {
    const bool trim = m_check.CurrentState() == State::kAwaitingTrimReading;
    if (!trim && m_check.CurrentState() != State::kAwaitingReading) {
        return;
    }
    const auto reading = ParseDecimal(m_reading->text().toStdString());
    if (!reading || !m_check.EnterReading(*reading)) {
        if (trim) {
            m_prompts.Message(MessageToQt(LangText("strCurrentErr")), windowTitle(),
                              MessageIcon::kInformation);
        } else {
            Warn("BadReading");
        }
        m_reading->setFocus();
        m_reading->selectAll();
        return;
    }
    m_reading->clear();
}

void LoopCheckDialog::TakeNames() {
    m_check.Record().technician = m_technician->text().toStdString();
    m_check.Record().referenceMeter = m_meter->text().toStdString();
}

bool LoopCheckDialog::SaveReport(const QString& path) {
    TakeNames();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("pdf")) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        PrintReport(printer);
        return QFileInfo(path).size() > 0;
    }
    const std::string content = suffix == QStringLiteral("csv")
                                    ? LoopCheckCsv(m_check.Record())
                                    : LoopCheckReportHtml(m_check.Record());
    return WriteFileAtomically(path.toStdString(), content);
}

std::unique_ptr<QTextDocument> LoopCheckDialog::ReportDocument() {
    TakeNames();
    // The text document draws no SVG: the plot goes in as an image.
    const QByteArray svg = QByteArray::fromStdString(LoopCheckPlotSvg(m_check.Record()));
    QSvgRenderer renderer(svg);
    QImage plot(renderer.defaultSize() * 2, QImage::Format_ARGB32_Premultiplied);
    plot.fill(Qt::white);
    {
        QPainter painter(&plot);
        renderer.render(&painter);
    }
    plot.setDevicePixelRatio(2);
    auto document = std::make_unique<QTextDocument>();
    document->addResource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(kPlotResource)),
                          plot);
    LoopCheckReportOptions options;
    options.plotImage = kPlotResource;
    document->setHtml(QString::fromStdString(LoopCheckReportHtml(m_check.Record(), options)));
    return document;
}

void LoopCheckDialog::PrintReport(QPrinter& printer) {
    ReportDocument()->print(&printer);
}

void LoopCheckDialog::SaveClicked() {
    const LoopCheckRecord& record = m_check.Record();
    QString date = QString::fromStdString(record.dateTime.substr(0, 10));
    const QString name = QStringLiteral("loop-check-%1-%2.html")
                             .arg(QString::fromStdString(record.device.tag).trimmed(), date);
    const QString path =
        m_prompts.SaveFileTitled(Text("SaveReport"), Text("SaveFilter"), name, "html");
    if (!path.isEmpty() && !SaveReport(path)) {
        Warn("SaveFailed");
    }
}

void LoopCheckDialog::PrintClicked() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        PrintReport(printer);
    }
}

void LoopCheckDialog::done(int result) {
    // Never leave the loop forced behind a closed window.
    m_check.Stop();
    int stops = 1;
    while (m_check.Running() && hartMaster.Loop() != nullptr && stops <= kMostStops) {
        if (busyFlag == 0) {
            // The release was cut short (a lost port): send it again.
            m_check.Stop();
            ++stops;
            continue;
        }
        hartMaster.Loop()->PumpingDelay(kCloseWaitMs);
    }
    QDialog::done(result);
}

void LoopCheckDialog::Refresh() {
    FillTable();
    ShowPrompt();
    const State state = m_check.CurrentState();
    const bool idle = state == State::kIdle || m_check.Over();
    const bool awaiting = state == State::kAwaitingReading || state == State::kAwaitingTrimReading;
    for (QWidget* widget : std::initializer_list<QWidget*>{m_points, m_tolerance, m_settle,
                                                           m_readTransmitter, m_start}) {
        widget->setEnabled(idle);
    }
    m_reading->setEnabled(awaiting);
    m_next->setEnabled(awaiting);
    m_stop->setEnabled(!idle);
    const bool report = m_check.Over() && m_check.Record().asFound.Run();
    m_save->setEnabled(report);
    m_print->setEnabled(report);
    if (awaiting) {
        m_reading->setFocus();
    }
    if (state == State::kAsFoundDone && !m_bAsFoundHandled) {
        m_bAsFoundHandled = true;
        // Not from inside the completion that got here.
        QTimer::singleShot(0, this, &LoopCheckDialog::AfterAsFound);
    }
}

void LoopCheckDialog::AfterAsFound() {
    if (m_check.CurrentState() != State::kAsFoundDone) {
        return;
    }
    if (!m_check.Record().asFound.Passed() && m_prompts.YesNo(Text("AskTrim"), windowTitle())) {
        m_check.StartTrim();
    } else {
        m_check.Finish();
    }
}

void LoopCheckDialog::FillTable() {
    const LoopCheckRecord& record = m_check.Record();
    struct Line {
        const char* pass;
        const LoopCheckRow* row;
    };
    std::vector<Line> lines;
    for (const LoopCheckRow& row : record.asFound.rows) {
        lines.push_back({"AsFound", &row});
    }
    for (const LoopCheckRow& row : record.asLeft.rows) {
        lines.push_back({"AsLeft", &row});
    }
    const State state = m_check.CurrentState();
    const bool pending =
        state == State::kForcing || state == State::kSettling || state == State::kAwaitingReading;
    m_table->setRowCount(static_cast<int>(lines.size()) + (pending ? 1 : 0));
    const auto set = [this](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(row, column, item);
        return item;
    };
    int index = 0;
    for (const Line& line : lines) {
        const LoopCheckRow& row = *line.row;
        set(index, kPassColumn, Text(line.pass));
        set(index, kPoint, Number(row.percent, 2));
        set(index, kExpected, Number(row.expectedMa, 3));
        set(index, kReading, Number(row.readingMa, 3));
        set(index, kTransmitter, Number(row.transmitterMa, 3));
        set(index, kError, QString::fromStdString(ErrorText(row.errorPercent)));
        QTableWidgetItem* result = set(index, kResult, Text(row.pass ? "Passed" : "Failed"));
        result->setBackground(row.pass ? QColor(216, 240, 216) : QColor(246, 214, 214));
        result->setForeground(row.pass ? QColor(6, 64, 6) : QColor(122, 0, 0));
        ++index;
    }
    if (pending) {
        const bool asLeft = m_check.CurrentPass() == LoopCheck::Pass::kAsLeft;
        set(index, kPassColumn, Text(asLeft ? "AsLeft" : "AsFound"));
        set(index, kPoint, Number(m_check.Point(), 2));
        set(index, kExpected, Number(m_check.Current(), 3));
        for (int column = kReading; column < kColumns; ++column) {
            set(index, column, QString());
        }
        set(index, kTransmitter, Number(m_check.TransmitterReading(), 3));
        m_table->scrollToItem(m_table->item(index, kPassColumn));
    }
}

void LoopCheckDialog::ShowPrompt() {
    const std::string current = FixedText(m_check.Current(), 3);
    const LoopCheckRecord& record = m_check.Record();
    const LoopCheckPass& last = record.asLeft.Run() ? record.asLeft : record.asFound;
    QString text;
    switch (m_check.CurrentState()) {
        case State::kIdle:
            text = Text("PromptStart");
            break;
        case State::kSettling:
            text = ToQt(WithValue(LoopCheckText("PromptSettle"), current));
            break;
        case State::kAwaitingReading:
            text = ToQt(WithValue(LoopCheckText("PromptReading"), current));
            break;
        case State::kAwaitingTrimReading:
            text = ToQt(WithValue(LoopCheckText("PromptTrim"), current));
            break;
        case State::kAsFoundDone:
        case State::kFinished:
            text = Text(last.Passed() ? "AllPassed" : "SomeFailed");
            break;
        case State::kStopped:
            text = Text(m_check.Forced() ? "StillForced" : "Stopped");
            break;
        case State::kFailed:
            text = Text(m_check.Forced() ? "StillForced" : "CommFailed");
            break;
        default:
            text = Text("PromptBusy");
            break;
    }
    m_prompt->setText(text);
}

}  // namespace tandrin
