// The loop check window opened from the real main window's Device menu,
// offscreen, against the demo simulator.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "controls/qt/qt_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/fixed_current_guard.h"
#include "procedures/loop_check_text.h"
#include "procedures/qt/loop_check_dialog.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"
#include "shell/qt/qt_menu_bar.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

using State = LoopCheck::State;

constexpr int kTimeoutMs = 30000;

class LoopCheckWindow {
  public:
    explicit LoopCheckWindow(const std::string& language = "English")
        : files({"English.ini", "SimplifiedChinese.ini", "kvrfw.dat", "Logo.bmp"}) {
        AppOptions options;
        options.language = language;
        options.demo = true;
        session = std::make_unique<AppSession>(options, &prompts);
        std::string error;
        EXPECT_TRUE(session->Start(error)) << error;
        MainWindow& window = session->Window();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    ~LoopCheckWindow() {
        fixedCurrentGuard.NoteReleased();
        session.reset();
    }

    LoopCheckDialog* Open() {
        QAction* entry = session->Window().Menu().Command(main_ids::kLoopCheck);
        EXPECT_NE(entry, nullptr);
        entry->trigger();
        auto* dialog = session->Window().findChild<LoopCheckDialog*>();
        EXPECT_NE(dialog, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        return dialog;
    }
    template <typename T>
    static T* Child(LoopCheckDialog* dialog, const char* name) {
        T* child = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static bool WaitFor(LoopCheckDialog* dialog, State state) {
        return WaitUntil([&] { return dialog->Check().CurrentState() == state; }, kTimeoutMs);
    }
    static void Type(LoopCheckDialog* dialog, const QString& reading) {
        auto* edit = Child<QLineEdit>(dialog, "LoopReading");
        edit->setText(reading);
        QTest::mouseClick(Child<QPushButton>(dialog, "LoopNext"), Qt::LeftButton);
    }
    // The transmitter's loop current as the main window reads it (0, 1, 2).
    float ReadLoopCurrent() {
        session->Window().RunCommand(main_ids::kGetButton);
        EXPECT_TRUE(WaitUntil([] { return busyFlag == 0; }, kTimeoutMs));
        return hartMaster.m_fLoopCurrent;
    }

    test::ProgramFiles files;
    test::RecordingPrompts prompts;
    std::unique_ptr<AppSession> session;
};

// Saves `image` under $TANDRIN_SHOTS, when that is set (docs/screenshots).
void Shoot(const QImage& image, const char* name) {
    const QByteArray dir = qgetenv("TANDRIN_SHOTS");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(image.save(QString::fromLocal8Bit(dir) + "/" + name));
    }
}

QImage Rendered(QTextDocument& document) {
    document.setTextWidth(800);
    QImage image(800, static_cast<int>(document.size().height()) + 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.drawContents(&painter);
    return image;
}

TEST(LoopCheckUi, RunsFromTheDeviceMenuFillsTheTableAndSavesTheReport) {
    LoopCheckWindow harness;
    harness.prompts.answer = true;
    LoopCheckDialog* dialog = harness.Open();
    EXPECT_EQ(harness.session->Window().Menu().Command(main_ids::kLoopCheck)->text(),
              ToQt(LangText("Menu", "IDM_LOOP_CHECK")));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Loop Check"));
    auto* table = LoopCheckWindow::Child<QTableWidget>(dialog, "LoopTable");
    auto* prompt = LoopCheckWindow::Child<QLabel>(dialog, "LoopPrompt");
    LoopCheckWindow::Child<QLineEdit>(dialog, "LoopPoints")->setText("0, 50, 100");
    LoopCheckWindow::Child<QLineEdit>(dialog, "LoopTechnician")->setText("A. Tester");
    QTest::mouseClick(LoopCheckWindow::Child<QPushButton>(dialog, "LoopStart"), Qt::LeftButton);

    const QStringList readings{"4.002", "12.05", "19.999"};
    for (int i = 0; i < readings.size(); ++i) {
        ASSERT_TRUE(LoopCheckWindow::WaitFor(dialog, State::kAwaitingReading)) << i;
        EXPECT_EQ(table->rowCount(), i + 1);
        EXPECT_TRUE(prompt->text().contains(table->item(i, 2)->text()))
            << prompt->text().toStdString();
        EXPECT_FALSE(LoopCheckWindow::Child<QPushButton>(dialog, "LoopSave")->isEnabled());
        if (i == 1) {
            LoopCheckWindow::Type(dialog, "12,05");  // refused, stays on the point
            EXPECT_EQ(harness.prompts.messages.back().text, ToQt(LoopCheckText("BadReading")));
            EXPECT_EQ(dialog->Check().CurrentState(), State::kAwaitingReading);
        }
        LoopCheckWindow::Type(dialog, readings[i]);
    }
    // The as-found pass failed at 50 %: the trim is offered and taken, at 4
    // and 20 mA, and the as-left pass follows.
    ASSERT_TRUE(LoopCheckWindow::WaitFor(dialog, State::kAwaitingTrimReading));
    EXPECT_EQ(harness.prompts.questions, (std::vector<QString>{ToQt(LoopCheckText("AskTrim"))}));
    LoopCheckWindow::Type(dialog, "17");  // the page's bounds: 3..6 mA here
    EXPECT_EQ(harness.prompts.messages.back().text, MessageToQt(LangText("strCurrentErr")));
    LoopCheckWindow::Type(dialog, "4.003");
    ASSERT_TRUE(WaitUntil(
        [&] {
            return dialog->Check().TrimStep() == 1 &&
                   dialog->Check().CurrentState() == State::kAwaitingTrimReading;
        },
        kTimeoutMs));
    LoopCheckWindow::Type(dialog, "20.01");
    for (const char* reading : {"4.001", "12.004", "19.998"}) {
        ASSERT_TRUE(LoopCheckWindow::WaitFor(dialog, State::kAwaitingReading)) << reading;
        LoopCheckWindow::Type(dialog, reading);
    }
    ASSERT_TRUE(LoopCheckWindow::WaitFor(dialog, State::kFinished));
    ASSERT_EQ(table->rowCount(), 6);
    EXPECT_EQ(table->item(4, 0)->text(), QStringLiteral("As left"));
    EXPECT_EQ(prompt->text(), ToQt(LoopCheckText("AllPassed")));
    EXPECT_EQ(table->item(1, 3)->text(), QStringLiteral("12.050"));
    EXPECT_EQ(table->item(1, 5)->text(), QStringLiteral("0.3125"));
    EXPECT_EQ(table->item(1, 6)->text(), QStringLiteral("FAIL"));
    EXPECT_EQ(table->item(0, 6)->text(), QStringLiteral("PASS"));
    EXPECT_NE(table->item(0, 6)->background().color(), table->item(1, 6)->background().color());
    EXPECT_FALSE(fixedCurrentGuard.Forced());
    // Out of fixed-current mode: the output follows the process again.
    EXPECT_LT(harness.ReadLoopCurrent(), 19.0f);

    Shoot(dialog->grab().toImage(), "loop-check-en.png");
    const auto document = dialog->ReportDocument();
    EXPECT_TRUE(document->toPlainText().contains("A. Tester"));
    Shoot(Rendered(*document), "loop-check-report-en.png");

    test::TempDir out;
    for (const char* name : {"report.html", "report.pdf", "report.csv"}) {
        const QString path = QString::fromStdString(out.Path()) + name;
        ASSERT_TRUE(dialog->SaveReport(path)) << name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray head = file.read(64);
        if (QString(name).endsWith("pdf")) {
            EXPECT_TRUE(head.startsWith("%PDF")) << name;
        } else if (QString(name).endsWith("html")) {
            EXPECT_TRUE(head.startsWith("<?xml")) << name;
        }
    }
    const QPointer<LoopCheckDialog> open(dialog);
    QTest::mouseClick(LoopCheckWindow::Child<QPushButton>(dialog, "LoopClose"), Qt::LeftButton);
    EXPECT_TRUE(open.isNull() || !open->isVisible());
}

TEST(LoopCheckUi, ClosingTheWindowInTheMiddleReleasesTheLoop) {
    LoopCheckWindow harness("Simple Chinese");
    LoopCheckDialog* dialog = harness.Open();
    EXPECT_EQ(dialog->windowTitle(), ToQt(LoopCheckText("Caption")));
    QTest::mouseClick(LoopCheckWindow::Child<QPushButton>(dialog, "LoopStart"), Qt::LeftButton);
    ASSERT_TRUE(LoopCheckWindow::WaitFor(dialog, State::kAwaitingReading));
    LoopCheckWindow::Type(dialog, "4.001");
    ASSERT_TRUE(LoopCheckWindow::WaitFor(dialog, State::kAwaitingReading));
    EXPECT_TRUE(fixedCurrentGuard.Forced());
    Shoot(dialog->grab().toImage(), "loop-check-zh.png");
    dialog->close();
    EXPECT_FALSE(fixedCurrentGuard.Forced());
    EXPECT_EQ(dialog->Check().CurrentState(), State::kStopped);
    EXPECT_LT(harness.ReadLoopCurrent(), 7.9f);  // no longer the 8 mA forced
}

}  // namespace
}  // namespace tandrin
