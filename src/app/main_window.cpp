#include "app/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <functional>

#include "controls/qt/color_static.h"
#include "controls/qt/image_button.h"
#include "controls/qt/qt_text.h"
#include "controls/qt/ui_fonts_qt.h"
#include "device/degree_text.h"
#include "link/command_flags.h"
#include "pages/fixed_current_guard.h"
#include "pages/qt/calibration_widget.h"
#include "pages/qt/current_adjust_widget.h"
#include "pages/qt/device_status_dialog.h"
#include "pages/qt/info_widget.h"
#include "pages/qt/monitor_page_widget.h"
#include "pages/qt/setup_page_widget.h"
#include "procedures/qt/loop_check_dialog.h"
#include "procedures/qt/snapshot_menu.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"
#include "shell/main_toolbar.h"
#include "shell/main_window_layout.h"
#include "shell/program_dir.h"
#include "shell/qt/about_dialog.h"
#include "shell/qt/icons.h"
#include "shell/qt/placeholder_page.h"
#include "shell/qt/qt_translations.h"

namespace tandrin {

namespace {

using namespace main_ids;
using layout::PixelRect;

const char* const kIdProperty = "tandrinId";
const char* const kTitle = "VT2100Q";

QRect ToQRect(const PixelRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

// Resource names of the page buttons, by page index.
constexpr std::array<const char*, MainDialog::kPageCount> kPageButtonNames{
    "IDC_TAB2", "IDC_TAB3", "IDC_TAB5", "IDC_TAB4", "IDC_TAB1"};
constexpr std::array<const char*, MainDialog::kPageCount> kPageButtonCaptions{
    "Setup", "HART Inf", "Offset", "Monior", "Current Adj"};
// The pages' language sections name them.
constexpr std::array<const char*, MainDialog::kPageCount> kPageNames{
    "KvView2", "KvView3", "KvView5", "KvView4", "KvView1"};

const char* ToolName(int command) {
    switch (command) {
        case kOnLine:
            return "IDT_ONLINE";
        case kSearch:
            return "IDT_SEARCH";
        case kReset:
            return "IDT_RESET";
        case kProductInfo:
            return "IDT_PROINF";
        case kContact:
            return "IDT_CONTACT";
        case kStop:
            return "IDT_STOP";
        case kMonitorOpen:
            return "IDT_OPEN";
        case kMonitorSave:
            return "IDT_SAVE";
        case kMonitorHistory:
            return "IDT_HisData";
        case kMonitorAll:
            return "IDT_ALL";
        case kMonitorPv:
            return "IDT_PV";
        case kMonitorCurrent:
            return "IDT_CURRENT";
        case kMonitorPercent:
            return "IDT_PERCENT";
        default:
            return "";
    }
}

// The client area: button face, and the light strip behind the page buttons
// from the top to the bottom.
class ClientArea : public QWidget {
  public:
    ClientArea(QWidget* parent, std::function<void()> painted)
        : QWidget(parent), m_painted(std::move(painted)) {}

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        painter.fillRect(QRect(0, 0, layout::kStripWidth, height()), QColor(227, 227, 227));
        if (m_painted) {
            auto painted = std::move(m_painted);
            m_painted = nullptr;
            painted();
        }
    }

  private:
    std::function<void()> m_painted;
};

// The band the toolbar sits in: a soft band background, its border and the
// gripper at its left end.
class ToolBand : public QWidget {
  public:
    using QWidget::QWidget;
    static constexpr int kGripperWidth = 10;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        const QColor face = palette().color(QPalette::Button);
        QLinearGradient background(0, 0, 0, height());
        background.setColorAt(0, face.lighter(106));
        background.setColorAt(1, face.darker(104));
        painter.fillRect(rect(), background);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
        // Gripper: two columns of dots.
        for (int y = 6; y < height() - 6; y += 4) {
            for (const int x : {3, 6}) {
                painter.fillRect(x, y, 2, 2, palette().color(QPalette::Mid));
                painter.fillRect(x, y, 1, 1, palette().color(QPalette::Light));
            }
        }
    }
};

// The bar keeps one height whichever interface font it shows, so that the
// fixed window does not change its size with the language. Measured with
// a text of both scripts, since Chinese glyphs may come from a taller
// fallback font.
void HoldHeightAcrossFonts(QWidget* bar) {
    const QString sample = QString::fromUtf8("Ag\u6587\u4EF6");
    int text = 0;
    for (const QFont* font : {&WesternFont(), &ChineseFont()}) {
        text = std::max(text, QFontMetrics(*font).boundingRect(sample).height());
    }
    const int own = QFontMetrics(bar->font()).boundingRect(sample).height();
    bar->setFixedHeight(bar->sizeHint().height() + std::max(0, text - own));
}

}  // namespace

MainWindow::MainWindow(const MainWindowOptions& options, QWidget* parent)
    : QDialog(parent),
      m_dialogPrompts(this),
      m_shell(options.prompts != nullptr ? *options.prompts : m_dialogPrompts),
      m_menuBar(new QMenuBar(this)),
      m_menu(m_menuBar, [this](int id) { RunCommand(id); }),
      m_dialog(m_form, m_menu, m_shell) {
    setObjectName(QStringLiteral("MainDialog"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->setMenuBar(m_menuBar);
    m_client = new ClientArea(this, [this] { emit firstPainted(); });
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->setFixedSize(layout::kClientWidth, layout::kClientHeight);
    column->addWidget(m_client);
    column->setSizeConstraint(QLayout::SetFixedSize);

    // Window creation, then the layout's own controls.
    CreateToolbar();
    CreateControls();

    // Initialisation
    ApplyUiFont(this);
    setWindowIcon(AppIcon());
    m_dialog.InitLanguages();
    m_snapshots = new SnapshotMenu(m_menu.Popup(0), m_shell, this);
    CreatePages();
    QPixmap logo(QString::fromLocal8Bit(ProgramDir() + "Logo.bmp"));
    if (!logo.isNull()) {
        static_cast<QLabel*>(m_form.Widget(kLogo))->setPixmap(logo);
    }
    CreateStatusBar();
    HoldHeightAcrossFonts(m_menuBar);
    HoldHeightAcrossFonts(m_statusBar);
    SetUpReadouts();
    m_dialog.InitPorts(options.extraPorts, options.preferredPort);
    mainWindow = &m_dialog;
    // A loop left fixed by something else is offered for release too.
    m_dialog.afterSequence = [] { fixedCurrentGuard.CheckDeviceStatus(); };
    m_form.SetText(kPvReadout, "0.0  " + DegreeText());
    m_dialog.InitPageButtonColours();
    setWindowTitle(QString::fromLatin1(kTitle));

    const auto& names = m_dialog.languageNames;
    if (!options.language.empty() &&
        std::find(names.begin(), names.end(), options.language) != names.end()) {
        m_dialog.currentLanguage = options.language;
        m_dialog.SelectLanguage(options.language);
    }
    FollowLanguageInQtTexts();
}

MainWindow::~MainWindow() {
    // A transaction still in flight must not complete into this window.
    cancelFlag = 1;
    busyFlag = 0;
    if (mainWindow == &m_dialog) {
        mainWindow = nullptr;
    }
}

void MainWindow::CreateToolbar() {
    auto* band = new ToolBand(m_client);
    band->setObjectName(QStringLiteral("ToolBand"));
    band->setGeometry(0, 0, layout::kClientWidth, layout::kToolBandHeight);

    m_toolBar = new QToolBar(band);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(layout::kToolImageSize, layout::kToolImageSize));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: 0; }"));

    for (const ToolbarPosition& position : kToolbar) {
        if (position.command == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        const int command = position.command;
        auto* action = new QAction(ToolIcon(QString::fromLatin1(position.image)), QString(), this);
        action->setObjectName(QString::fromLatin1(ToolName(command)));
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        m_toolBar->addAction(action);
        m_toolActions[command] = action;
        if (QWidget* button = m_toolBar->widgetForAction(action)) {
            button->setMinimumWidth(layout::kToolButtonWidth);
            button->setMaximumWidth(60);
            button->setProperty(kIdProperty, command);
            button->installEventFilter(this);
        }
        if (IsMonitorTool(command)) {
            m_form.Add(command, action);
        }
    }

    // The sampling-period box, 5 pixels right of the last tool.
    auto* holder = new QWidget(m_toolBar);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(layout::kPeriodBoxGap, 0, 0, 0);
    m_periodBox = new QComboBox(holder);
    m_periodBox->setObjectName(QStringLiteral("IDC_COMBOPERIOD"));
    m_periodBox->setEditable(false);
    m_periodBox->setFixedWidth(layout::kPeriodBoxWidth);
    m_periodBox->setProperty(kIdProperty, kPeriodBox);
    m_periodBox->installEventFilter(this);
    row->addWidget(m_periodBox);
    m_toolBar->addWidget(holder);
    m_form.Add(kPeriodBox, m_periodBox);
    connect(m_periodBox, &QComboBox::currentIndexChanged, this,
            [this] { m_dialog.OnPeriodChange(); });

    m_toolBar->move(ToolBand::kGripperWidth, 1);
    m_toolBar->resize(layout::kClientWidth - ToolBand::kGripperWidth, layout::kToolBandHeight - 2);

    m_dialog.InitPeriodBox();
    m_dialog.ShowMonitorTools(false);
}

void MainWindow::CreateControls() {
    for (int index = 0; index < MainDialog::kPageCount; ++index) {
        const std::size_t i = static_cast<std::size_t>(index);
        const int id = MainDialog::PageButtonOfIndex(index);
        auto* button = new ImageButton(QString::fromLatin1(kPageButtonCaptions[i]), m_client);
        button->setObjectName(QString::fromLatin1(kPageButtonNames[i]));
        button->setGeometry(ToQRect(layout::PageButtonRect(index)));
        connect(button, &QAbstractButton::clicked, this, [this, id] { RunCommand(id); });
        m_pageButtons[i] = button;
        m_form.Add(id, button);
        m_dialog.SetPageButton(index, button);
    }

    m_progress = new QProgressBar(m_client);
    m_progress->setObjectName(QStringLiteral("IDC_PROGRESS"));
    m_progress->setGeometry(ToQRect(layout::kProgressRect));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_form.Add(kProgress, m_progress);

    auto* logo = new QLabel(m_client);
    logo->setObjectName(QStringLiteral("IDC_LOGO"));
    logo->setGeometry(ToQRect(layout::kLogoRect));
    m_form.Add(kLogo, logo);

    // The value read-outs: created hidden and kept up to date.
    auto* group = new QGroupBox(QStringLiteral("Current Value"), m_client);
    group->setObjectName(QStringLiteral("IDC_STA_INF1"));
    group->setGeometry(ToQRect(layout::DuRect(2, 165, 72, 80)));
    group->hide();
    m_form.Add(kValueGroup, group);

    const auto readout = [this](int id, const char* name, const PixelRect& where) {
        auto* value = new ColorStatic(QStringLiteral("0.0"), m_client);
        value->setObjectName(QString::fromLatin1(name));
        value->setGeometry(ToQRect(where));
        value->hide();
        m_form.Add(id, value);
    };
    readout(kPvReadout, "IDC_VALUE_PV", layout::DuRect(5, 175, 66, 16));
    readout(kCurrentReadout, "IDC_VALUE_CURRENT", layout::DuRect(5, 195, 50, 11));
    readout(kPercentReadout, "IDC_VALUE_PERCENT", layout::DuRect(5, 210, 50, 11));
    for (const auto& [text, y] : {std::pair{"mA", 195}, std::pair{"%", 210}}) {
        auto* unit = new QLabel(QString::fromLatin1(text), m_client);
        unit->setGeometry(ToQRect(layout::DuRect(57, y, 14, 11)));
        unit->hide();
    }

    auto* get = new QPushButton(QStringLiteral("Get"), m_client);
    get->setObjectName(QStringLiteral("IDC_CMD_GETVARIN"));
    get->setGeometry(ToQRect(layout::DuRect(5, 225, 40, 14)));
    get->hide();
    connect(get, &QPushButton::clicked, this, [this] { RunCommand(kGetButton); });
    m_form.Add(kGetButton, get);
}

std::pair<QWidget*, DevicePage*> MainWindow::CreatePage(int index) {
    switch (index) {
        case MainDialog::kInfoIndex: {
            auto* page = new InfoWidget(m_client);
            m_dialog.SetInfoPageForm(&page->Controls());
            return {page, page};
        }
        case MainDialog::kCalibrationIndex: {
            auto* page = new CalibrationWidget(m_client);
            return {page, page};
        }
        case MainDialog::kCurrentIndex: {
            auto* page = new CurrentAdjustWidget(m_client);
            return {page, page};
        }
        case MainDialog::kSetupIndex: {
            auto* page = new SetupPageWidget(m_client);
            return {page, page};
        }
        case MainDialog::kMonitorIndex: {
            auto* page = new MonitorPageWidget(m_shell, m_client);
            return {page, page};
        }
        default: {
            auto* page = new PlaceholderPage(m_client);
            return {page, page};
        }
    }
}

void MainWindow::CreatePages() {
    for (int index = 0; index < MainDialog::kPageCount; ++index) {
        const std::size_t i = static_cast<std::size_t>(index);
        auto [page, logic] = CreatePage(index);
        page->setObjectName(QString::fromLatin1(kPageNames[i]));
        page->setGeometry(ToQRect(layout::PageRect(index)));
        page->hide();
        m_pages[i] = page;
        m_dialog.SetPage(MainDialog::SlotOfIndex(index), logic);
    }
    m_dialog.ShowFirstPage();
    // The box was filled before the monitor page existed.
    m_dialog.OnPeriodChange();
}

void MainWindow::CreateStatusBar() {
    auto* status = new QStatusBar(this);
    m_statusBar = status;
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setSizeGripEnabled(false);
    m_panes[0] = new QLabel(status);
    m_panes[0]->setObjectName(QStringLiteral("StatusPane0"));
    m_panes[1] = new QLabel(status);
    m_panes[1]->setObjectName(QStringLiteral("StatusPane1"));
    // 40 pixels held "COM3"; device paths are longer and the pane grows to
    // show them whole.
    m_panes[1]->setMinimumWidth(layout::kPortPaneMinWidth);
    auto* deviceStatus = new QLabel(status);
    deviceStatus->setObjectName(QStringLiteral("DeviceStatusPane"));
    deviceStatus->hide();
    status->addWidget(m_panes[0], 1);
    status->addPermanentWidget(deviceStatus);
    status->addPermanentWidget(m_panes[1]);
    m_shell.SetDeviceStatusLabel(deviceStatus);
    static_cast<QVBoxLayout*>(layout())->addWidget(status);
    m_shell.SetWidgets(m_panes[0], m_panes[1], m_progress);
    m_dialog.SetStatusText(0, LangText("strReady"));
}

void MainWindow::SetUpReadouts() {
    auto* pv = static_cast<ColorStatic*>(m_form.Widget(kPvReadout));
    pv->SetBkColor(kBlack);
    pv->SetTextColor(Rgb{0, 255, 0});
    pv->SetFont(240, "MS Serif");
    for (const int id : {kCurrentReadout, kPercentReadout}) {
        auto* value = static_cast<ColorStatic*>(m_form.Widget(id));
        value->SetBkColor(kWhite);
        value->SetTextColor(Rgb{0, 0, 255});
        value->SetFont(160, "MS Serif");
    }
}

ImageButton* MainWindow::PageButton(int index) const {
    return index >= 0 && index < MainDialog::kPageCount
               ? m_pageButtons[static_cast<std::size_t>(index)]
               : nullptr;
}

QWidget* MainWindow::Page(int index) const {
    return index >= 0 && index < MainDialog::kPageCount ? m_pages[static_cast<std::size_t>(index)]
                                                        : nullptr;
}

QAction* MainWindow::ToolAction(int command) const {
    const auto found = m_toolActions.find(command);
    return found == m_toolActions.end() ? nullptr : found->second;
}

QLabel* MainWindow::StatusPane(int pane) const {
    return pane == 0 || pane == 1 ? m_panes[static_cast<std::size_t>(pane)] : nullptr;
}

void MainWindow::RunCommand(int id) {
    switch (m_dialog.OnCommand(id)) {
        case MainDialog::CommandResult::kClose:
            close();
            break;
        case MainDialog::CommandResult::kAbout:
            ShowAbout();
            break;
        case MainDialog::CommandResult::kLoopCheck:
            ShowLoopCheck();
            break;
        case MainDialog::CommandResult::kDeviceStatus: {
            auto* dialog = new DeviceStatusDialog(this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
            break;
        }
        case MainDialog::CommandResult::kLanguageChanged:
            // The logic has re-translated; the font and Qt's own texts
            // follow the language.
            ApplyUiFont(this);
            FollowLanguageInQtTexts();
            break;
        case MainDialog::CommandResult::kDone:
        case MainDialog::CommandResult::kNotMine:
            break;
    }
}

QString MainWindow::ToolTipFor(int id) const {
    return ToQt(m_dialog.ToolTipText(id));
}

void MainWindow::Retranslate() {
    ApplyUiFont(this);
    m_dialog.RetranslateAll();
    m_snapshots->Retranslate();
    m_toolBar->update();
    m_menuBar->update();
}

void MainWindow::ShowLoopCheck() {
    auto* dialog = new LoopCheckDialog(m_shell.Prompts(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void MainWindow::ShowAbout() {
    AboutDialog about(this);
    about.exec();
}

// Every way out (close box, Exit, Enter, Escape) passes here: unsaved
// samples are not thrown away and a loop current this program forced is not
// left behind unasked.
void MainWindow::done(int result) {
    if (!m_dialog.MayClose()) {
        return;
    }
    // Cancel, or a release that did not get through (it has said so),
    // keeps the window: the loop may still be forced.
    const FixedCurrentGuard::Offer offer = fixedCurrentGuard.OfferRelease(kReleaseOnCloseKey, true);
    if (offer == FixedCurrentGuard::Offer::kCancelled ||
        offer == FixedCurrentGuard::Offer::kFailed) {
        return;
    }
    QDialog::done(result);
}

void MainWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Retranslate();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    Retranslate();
}

// Enter ends the dialog unless a button takes it, Escape always: as in any
// dialog.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (button->isDefault() && button->isVisible()) {
                QDialog::keyPressEvent(event);
                return;
            }
        }
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The toolbar asks for its tooltips as they are needed, so they are always
// in the current language.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QDialog::eventFilter(watched, event);
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    const QVariant id = watched->property(kIdProperty);
    if (widget == nullptr || !id.isValid()) {
        return QDialog::eventFilter(watched, event);
    }
    const QString text = ToolTipFor(id.toInt());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, widget);
    }
    return true;
}

}  // namespace tandrin
