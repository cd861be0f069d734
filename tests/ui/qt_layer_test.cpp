// The pieces under the main window: event loop, text edge, Form and MenuBar
// over widgets, and the two drawn controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QToolBar>
#include <atomic>
#include <ctime>
#include <thread>

#include "app/app_session.h"
#include "controls/qt/color_static.h"
#include "controls/qt/image_button.h"
#include "controls/qt/qt_text.h"
#include "controls/qt/ui_fonts_qt.h"
#include "device/degree_text.h"
#include "shell/main_dialog_ids.h"
#include "shell/memory_menu_bar.h"
#include "shell/menu_range.h"
#include "shell/qt/qt_event_loop.h"
#include "shell/qt/qt_form.h"
#include "shell/qt/qt_menu_bar.h"

namespace tandrin {
namespace {

using namespace main_ids;

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

TEST(QtEventLoop, OneShotTimersFireOnceInTheirOrderAndKilledOnesNever) {
    QtEventLoop loop;
    std::vector<int> fired;
    loop.StartTimer(60, [&](TimerId) { fired.push_back(60); });
    loop.StartTimer(20, [&](TimerId) {
        fired.push_back(20);
        loop.StartTimer(10, [&](TimerId) { fired.push_back(30); });  // started from a callback
    });
    const TimerId killed = loop.StartTimer(40, [&](TimerId) { fired.push_back(40); });
    EXPECT_NE(killed, 0u);
    loop.KillTimer(killed);
    loop.KillTimer(killed);  // twice: harmless

    EXPECT_TRUE(WaitUntil([&] { return fired.size() == 3; }, 2000));
    WaitUntil([] { return false; }, 80);
    EXPECT_EQ(fired, (std::vector<int>{20, 30, 60}));
    EXPECT_EQ(loop.PendingTimers(), 0u);
}

TEST(QtEventLoop, IdentifiersAreNeverReusedByAnotherLoop) {
    TimerId first = 0;
    {
        QtEventLoop loop;
        first = loop.StartTimer(1000, [](TimerId) {});
    }
    QtEventLoop next;
    bool fired = false;
    const TimerId second = next.StartTimer(5, [&](TimerId) { fired = true; });
    EXPECT_NE(first, second);
    next.KillTimer(first);  // a stale identifier of the old loop
    EXPECT_TRUE(WaitUntil([&] { return fired; }, 1000));
}

TEST(QtEventLoop, APostFromAnotherThreadRunsOnTheUiThread) {
    QtEventLoop loop;
    std::atomic<bool> ran{false};
    Qt::HANDLE ranOn = nullptr;
    std::thread poster([&] {
        loop.Post([&] {
            ranOn = QThread::currentThreadId();
            ran = true;
        });
    });
    poster.join();
    EXPECT_TRUE(WaitUntil([&] { return ran.load(); }, 2000));
    EXPECT_EQ(ranOn, QThread::currentThreadId());
}

TEST(QtEventLoop, PumpingDelayRunsOtherTimersAndSleepsMeanwhile) {
    QtEventLoop loop;
    bool fired = false;
    loop.StartTimer(20, [&](TimerId) { fired = true; });

    QElapsedTimer clock;
    clock.start();
    const std::uint32_t tickBefore = loop.TickCount();
    const double cpuBefore = ThreadCpuMs();
    loop.PumpingDelay(300);
    const double cpu = ThreadCpuMs() - cpuBefore;

    EXPECT_TRUE(fired);
    EXPECT_GE(clock.elapsed(), 295);
    EXPECT_GE(loop.TickCount() - tickBefore, 295u);
    EXPECT_LT(cpu, 100.0) << "PumpingDelay spun the CPU";
}

TEST(QtText, ConvertsTheInterfaceCodePageAtTheEdge) {
    EXPECT_EQ(ToQt("\xA1\xE6", true), QString::fromUtf8("\u2103"));
    EXPECT_EQ(ToQt("\xB0"
                   "C",
                   false),
              QString::fromUtf8("\u00B0C"));
    EXPECT_EQ(ToQt("\x80", false), QString::fromUtf8("\u20AC"));
    EXPECT_EQ(FromQt(QString::fromUtf8("\u2103"), true), "\xA1\xE6");
    EXPECT_EQ(FromQt(QString::fromUtf8("参数设置"), true), "\xB2\xCE\xCA\xFD\xC9\xE8\xD6\xC3");
    EXPECT_EQ(FromQt(QString::fromUtf8("\u00B0C"), false), "\xB0\x43");

    chineseUi = 1;
    EXPECT_EQ(ToQt(DegreeText()), QString::fromUtf8("\u2103"));
    chineseUi = 0;
    EXPECT_EQ(ToQt(DegreeText()), QString::fromUtf8("\u00B0C"));
    EXPECT_EQ(MessageToQt("V1.23\r\r"), QStringLiteral("V1.23\n\n"));
}

TEST(QtForm, DropDownBoxesBehaveLikeDialogBoxesAndSignalNothing) {
    QComboBox editable;
    editable.setEditable(true);
    QtForm form;
    form.Add(kShortAddressBox, &editable);
    QSignalSpy changes(&editable, &QComboBox::currentIndexChanged);

    form.AddEntry(kShortAddressBox, "3");
    form.AddEntry(kShortAddressBox, "7");
    EXPECT_EQ(form.Selection(kShortAddressBox), -1);
    EXPECT_EQ(form.Text(kShortAddressBox), "");  // adding selects nothing
    form.SetSelection(kShortAddressBox, 1);
    EXPECT_EQ(form.Text(kShortAddressBox), "7");
    form.ClearEntries(kShortAddressBox);
    EXPECT_EQ(form.EntryCount(kShortAddressBox), 0);
    EXPECT_EQ(form.Text(kShortAddressBox), "7");
    form.SetText(kShortAddressBox, "12");
    EXPECT_EQ(form.Text(kShortAddressBox), "12");
    EXPECT_EQ(changes.count(), 0);

    EXPECT_FALSE(form.HasControl(4242));
    EXPECT_EQ(form.Text(4242), "");
    EXPECT_EQ(form.Selection(4242), -1);
}

TEST(QtForm, AWidgetInAToolbarShowsAndHidesThroughItsAction) {
    QToolBar bar;
    auto* holder = new QWidget;
    auto* box = new QComboBox(holder);
    QAction* item = bar.addWidget(holder);
    QtForm form;
    form.Add(kPeriodBox, box);
    bar.show();

    form.SetVisible(kPeriodBox, false);
    EXPECT_FALSE(item->isVisible());
    EXPECT_FALSE(form.Visible(kPeriodBox));
    form.SetVisible(kPeriodBox, true);
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(box->isVisible());
}

// The Qt menu bar must do what the in-memory one does, which the shell's own
// tests pin down.
TEST(QtMenuBar, RebuildsCaptionsAndChecksLikeTheMemoryMenuBar) {
    QMenuBar bar;
    std::vector<int> commands;
    QtMenuBar qt(&bar, [&](int id) { commands.push_back(id); });
    MemoryMenuBar memory;
    const std::vector<std::string> ports{"/dev/pts/4", "/dev/ttyUSB0", "/dev/ttyS0"};
    std::vector<std::string> languages;
    for (int i = 0; i < 12; ++i) {
        languages.push_back(std::to_string(100 + i));
    }
    for (MenuBar* menu : {static_cast<MenuBar*>(&qt), static_cast<MenuBar*>(&memory)}) {
        RebuildMenuRange(*menu, kMenuEnvironment, kPortSubmenu, kPortFirst, kPortLast, ports);
        RebuildMenuRange(*menu, kMenuEnvironment, kLanguageSubmenu, kLanguageFirst, kLanguageLast,
                         languages);
        menu->SetItemChecked(kMenuEnvironment, kPortSubmenu, 1, true);
        menu->SetTopCaption(kMenuFile, "&Datei");
        menu->SetSubmenuCaption(kMenuEnvironment, kLanguageSubmenu, "&Sprache");
        EXPECT_TRUE(menu->SetCommandCaption(kStop, "Halt"));
        EXPECT_FALSE(menu->SetCommandCaption(4242, "none"));
        menu->RemoveItem(kMenuEnvironment, kLanguageSubmenu, 0);
        menu->InsertItem(kMenuEnvironment, kLanguageSubmenu, 2, kLanguageLast, "inserted");
    }
    for (const int sub : {kPortSubmenu, kLanguageSubmenu}) {
        ASSERT_EQ(qt.ItemCount(kMenuEnvironment, sub), memory.ItemCount(kMenuEnvironment, sub));
        for (int position = 0; position < memory.ItemCount(kMenuEnvironment, sub); ++position) {
            EXPECT_EQ(qt.ItemText(kMenuEnvironment, sub, position),
                      memory.ItemText(kMenuEnvironment, sub, position));
            EXPECT_EQ(qt.ItemId(kMenuEnvironment, sub, position),
                      memory.ItemId(kMenuEnvironment, sub, position));
            EXPECT_EQ(qt.ItemChecked(kMenuEnvironment, sub, position),
                      memory.ItemChecked(kMenuEnvironment, sub, position));
        }
    }
    EXPECT_EQ(qt.TopCaption(kMenuFile), "&Datei");
    EXPECT_EQ(qt.Submenu(kMenuEnvironment, kLanguageSubmenu)->title(), QStringLiteral("&Sprache"));
    EXPECT_EQ(qt.Command(kStop)->text(), QStringLiteral("Halt"));
    EXPECT_EQ(qt.ItemCount(kMenuEnvironment, 1), 0);  // the separator has no items

    qt.Command(kPortFirst + 2)->trigger();
    qt.Command(kLanguageLast)->trigger();
    EXPECT_EQ(commands, (std::vector<int>{kPortFirst + 2, kLanguageLast}));
}

TEST(ImageButton, ColourIndexSixReturnsThreeAndChangesNothing) {
    ImageButton button(QStringLiteral("Setup"), nullptr);
    button.resize(152, 42);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    std::array<Rgb, 6> before{};
    for (int slot = 0; slot < 6; ++slot) {
        button.GetColor(slot, before[static_cast<std::size_t>(slot)]);
    }
    QApplication::processEvents();
    const int paints = button.PaintCount();

    EXPECT_EQ(button.SetColor(6, Rgb{255, 0, 0}, true), 3);
    QApplication::processEvents();

    for (int slot = 0; slot < 6; ++slot) {
        Rgb now;
        button.GetColor(slot, now);
        EXPECT_EQ(now, before[static_cast<std::size_t>(slot)]) << slot;
    }
    EXPECT_EQ(button.PaintCount(), paints);
    EXPECT_EQ(button.grab().toImage().pixelColor(100, 5),
              QColor(before[2].r, before[2].g, before[2].b));
}

TEST(ImageButton, PaintsTheColourOfItsStateAndTogglesInCheckMode) {
    QWidget parent;
    auto* button = new ImageButton(QStringLiteral("Monitor"), &parent);
    auto* other = new QWidget(&parent);
    other->setFocusPolicy(Qt::StrongFocus);
    other->setGeometry(0, 50, 10, 10);
    button->setGeometry(0, 0, 152, 42);
    button->SetColor(ImageButtonModel::kBackPressed, Rgb{200, 0, 0});
    button->SetColor(ImageButtonModel::kBackIdle, Rgb{0, 200, 0});
    button->SetColor(ImageButtonModel::kBackFocused, Rgb{0, 0, 200});
    parent.show();
    QApplication::setActiveWindow(&parent);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    other->setFocus();
    const auto background = [button] { return button->grab().toImage().pixelColor(140, 4); };
    EXPECT_EQ(background(), QColor(0, 200, 0));

    button->Attach(true, false);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->Check(), 1);
    EXPECT_EQ(background(), QColor(200, 0, 0));  // checked draws pressed
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->Check(), 0);
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(background(), QColor(0, 0, 200));  // focused

    button->setEnabled(false);
    EXPECT_EQ(background(), QColor(0, 200, 0));  // no focus colour when disabled
}

TEST(ColorStatic, TextColourWaitsForTheNextPaintWhileBackgroundRepaints) {
    QWidget window;
    auto* label = new ColorStatic(QStringLiteral("21.500"), &window);
    label->setGeometry(0, 0, 120, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    const int paints = label->PaintCount();

    label->SetTextColor(Rgb{0, 255, 0});
    QApplication::processEvents();
    EXPECT_EQ(label->PaintCount(), paints);

    label->SetBkColor(kBlack);
    QApplication::processEvents();
    EXPECT_GT(label->PaintCount(), paints);
    EXPECT_EQ(label->grab().toImage().pixelColor(118, 38), QColor(0, 0, 0));

    label->SetFont(240, "MS Serif");
    EXPECT_EQ(label->font().pointSize(), 24);
    ApplyUiFont(&window);
    EXPECT_EQ(label->font().pointSize(), 24);  // owned: the window's font does not reach it
}

}  // namespace
}  // namespace tandrin
