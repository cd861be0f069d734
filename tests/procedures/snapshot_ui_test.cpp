// Save and restore a configuration through the File menu of the real main
// window, offscreen, against the demo transmitter in real time.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <deque>
#include <fstream>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "link/command_flags.h"
#include "procedures/device_snapshot.h"
#include "procedures/qt/snapshot_dialog.h"
#include "procedures/qt/snapshot_menu.h"
#include "shell/private_profile.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

constexpr int kSequenceTimeoutMs = 60'000;

class FilePrompts : public test::RecordingPrompts {
  public:
    QString OpenFile(const QString& filter) override {
        filters.push_back(filter);
        return Pop(opens);
    }
    QString SaveFileTitled(const QString&, const QString& filter, const QString&,
                           const QString&) override {
        filters.push_back(filter);
        return Pop(saves);
    }
    static QString Pop(std::deque<QString>& paths) {
        QString path = paths.empty() ? QString() : paths.front();
        if (!paths.empty()) {
            paths.pop_front();
        }
        return path;
    }
    std::vector<QString> filters;
    std::deque<QString> opens;
    std::deque<QString> saves;
};

std::string Slurp(const std::string& path) {
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

void Spit(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// What the differences dialog showed, once it shows; it then gets `answer`.
struct DialogAnswer {
    std::vector<QString> rows;  // visible rows: field | file | transmitter
    bool checkFinalAssembly = true;
    bool restore = true;
    bool seen = false;
};

void AnswerDialogWhenShown(QObject* context, DialogAnswer& answer) {
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, &answer] {
        auto* dialog = qobject_cast<SnapshotDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        answer.seen = true;
        if (answer.checkFinalAssembly) {
            dialog->findChild<QCheckBox*>(QStringLiteral("SnapshotWithFinalAssembly"))->click();
        }
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("SnapshotDifferences"));
        for (int row = 0; row < table->rowCount(); ++row) {
            if (!table->isRowHidden(row)) {
                answer.rows.push_back(table->item(row, 0)->text() + "|" +
                                      table->item(row, 1)->text() + "|" +
                                      table->item(row, 2)->text());
            }
        }
        const char* button = answer.restore ? "SnapshotRestore" : "SnapshotCancel";
        dialog->findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
    });
    timer->start(50);
}

TEST(SnapshotWindow, SavesAndRestoresThroughTheFileMenuAgainstTheDemo) {
    test::ProgramFiles files({"English.ini", "kvrfw.dat", "Logo.bmp"});
    test::TempDir dir;
    FilePrompts prompts;
    AppOptions options;
    options.demo = true;
    AppSession session(options, &prompts);
    std::string error;
    ASSERT_TRUE(session.Start(error)) << error;
    MainWindow& window = session.Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SnapshotMenu& menu = *window.Snapshots();
    EXPECT_EQ(menu.SaveAction()->text(), QStringLiteral("Save Device Configuration\u2026"));
    EXPECT_EQ(menu.RestoreAction()->text(), QStringLiteral("Restore Device Configuration\u2026"));

    // Save.
    const std::string saved = dir.Path() + "tt101.json";
    prompts.saves.push_back(QString::fromStdString(saved));
    menu.SaveAction()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !Slurp(saved).empty(); }, kSequenceTimeoutMs));
    EXPECT_EQ(prompts.filters.back(), QStringLiteral("Device configurations (*.json)"));
    DeviceSnapshot original;
    ASSERT_TRUE(ParseSnapshot(Slurp(saved), original, error)) << error;

    // A hand-broken file: its key named, no dialog, nothing written.
    std::string text = Slurp(saved);
    const std::string broken = dir.Path() + "broken.json";
    Spit(broken, text.replace(text.find("\"damping\""), 9, "\"dampin\""));
    prompts.opens.push_back(QString::fromStdString(broken));
    menu.RestoreAction()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !prompts.messages.empty(); }, kSequenceTimeoutMs));
    EXPECT_TRUE(
        prompts.messages.back().text.contains(QStringLiteral("\"setup.damping\" is missing")))
        << prompts.messages.back().text.toStdString();

    // A file with another tag, damping and final assembly number: Restore.
    DeviceSnapshot changed = original;
    changed.tag = "TT-999";
    changed.damping = 3.5;
    changed.finalAssembly = "00BEEF";
    const std::string edited = dir.Path() + "edited.json";
    Spit(edited, SnapshotFileText(changed));
    prompts.messages.clear();
    prompts.opens.push_back(QString::fromStdString(edited));
    DialogAnswer answer;
    AnswerDialogWhenShown(&window, answer);
    menu.RestoreAction()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !prompts.messages.empty(); }, kSequenceTimeoutMs));
    EXPECT_TRUE(answer.seen);
    EXPECT_EQ(prompts.messages.back().text,
              QStringLiteral("The configuration has been restored and read back."));
    EXPECT_EQ(answer.rows,
              (std::vector<QString>{"Tag|TT-999|TT101", "Final assembly number|00BEEF|000001",
                                    "Damping (s)|3.5|0.5"}));
    EXPECT_EQ(busyFlag, 0);
    // The pages show what was restored, so a Write there keeps it.
    const auto* damping = window.Page(MainDialog::kSetupIndex)
                              ->findChild<QLineEdit*>(QStringLiteral("IDC_EDIT_DAMPING"));
    ASSERT_NE(damping, nullptr);
    EXPECT_EQ(damping->text(), QStringLiteral("3.5"));
    const auto* tag =
        window.Page(MainDialog::kInfoIndex)->findChild<QLineEdit*>(QStringLiteral("IDC_txtTag"));
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->text(), QStringLiteral("TT-999"));

    // Saved again, the transmitter holds the file's values.
    const std::string again = dir.Path() + "again.json";
    prompts.saves.push_back(QString::fromStdString(again));
    menu.SaveAction()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !Slurp(again).empty(); }, kSequenceTimeoutMs));
    DeviceSnapshot now;
    ASSERT_TRUE(ParseSnapshot(Slurp(again), now, error)) << error;
    EXPECT_TRUE(CompareSnapshots(changed, now, {true, true}).empty());
    window.close();
}

}  // namespace
}  // namespace tandrin
