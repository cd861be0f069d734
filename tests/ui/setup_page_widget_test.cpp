// The setup page on real widgets in the real main window, offscreen: what
// the Qt layer adds over the page's logic (the layout's controls, texts at
// the code-page edge, the user's choices reaching the logic).
#include <gtest/gtest.h>

#include <memory>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "link/command_flags.h"
#include "pages/qt/setup_page_widget.h"
#include "shell/main_dialog_ids.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

constexpr int kSequenceTimeoutMs = 15000;

// Every control of layout 131.
const std::vector<int> kLayout131{
    1140, 1141, 1142, 1143, 1144, 1145, 1165, 1167, 1002, 1156, 1186, 1188, 1003, 1157, 1032,
    1001, 1031, 1030, 1223, 1024, 1027, 1161, 1049, 1168, 1152, 1153, 1154, 1155, 1102, 1103,
    1105, 1106, 1107, 1108, 1109, 1110, 1104, 1111, 1112, 1113, 1029, 1033, 1114, 1115, 1116};

template <typename T>
T* Child(QWidget* page, const char* name) {
    T* child = page->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Dark pixels of `text` drawn in `font`: a face may map a character to an
// empty glyph.
int InkOf(const QString& text, const QFont& font) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(8, 40, text);
    }
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return ink;
}

bool ClickAndWait(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    return WaitUntil([] { return busyFlag == 0; }, kSequenceTimeoutMs);
}

TEST(SetupPageWidget, HasEveryControlOfItsLayoutCaptionedFromTheLanguageFile) {
    test::ProgramFiles files({"English.ini", "SimplifiedChinese.ini", "kvrfw.dat", "Logo.bmp"});
    test::RecordingPrompts prompts;
    MainWindowOptions options;
    options.prompts = &prompts;
    MainWindow window(options);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* page = dynamic_cast<SetupPageWidget*>(window.Page(MainDialog::kSetupIndex));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->isVisible());

    QSet<QString> names;
    for (const int id : kLayout131) {
        QWidget* widget = page->Controls().Widget(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_EQ(widget->parentWidget(), page) << id;
        EXPECT_TRUE(page->rect().contains(widget->geometry())) << id;
        names.insert(widget->objectName());
    }
    EXPECT_EQ(names.size(), static_cast<qsizetype>(kLayout131.size())) << "one name each";
    EXPECT_FALSE(page->Controls().Widget(1152)->isVisibleTo(page));

    auto* label = Child<QLabel>(page, "IDC_STA1");
    auto* group = Child<QGroupBox>(page, "IDC_STA13");
    auto* dual = Child<QRadioButton>(page, "IDC_RAO_DOUBLESENSE");
    auto* write = Child<QPushButton>(page, "IDC_cmdWrite2");
    auto* type1 = Child<QComboBox>(page, "IDC_CBO_SENSORTYPE1");
    auto* unit = Child<QComboBox>(page, "IDC_CBO_UNIT");
    auto* offsetUnit = Child<QLabel>(page, "IDC_STA_UNIT1");
    EXPECT_EQ(label->text(), QStringLiteral("Sensor 1 type"));
    EXPECT_EQ(group->title(), QStringLiteral("Sensors"));
    EXPECT_EQ(dual->text(), QStringLiteral("Dual sensor"));
    EXPECT_EQ(write->text(), QStringLiteral("Write"));
    EXPECT_EQ(type1->count(), 28);
    EXPECT_EQ(unit->currentText(), QString::fromUtf8("\u00B0C"));

    // Radio groups are their own: choosing a mode keeps "Dual sensor".
    QTest::mouseClick(dual, Qt::LeftButton);
    auto* independent = Child<QRadioButton>(page, "IDC_RAO_MODE4");
    ASSERT_TRUE(independent->isEnabled());
    QTest::mouseClick(independent, Qt::LeftButton);
    EXPECT_TRUE(dual->isChecked());
    EXPECT_TRUE(independent->isChecked());
    EXPECT_TRUE(Child<QComboBox>(page, "IDC_CBO_OUTSENSE")->isEnabled());
    Choose(type1, 14);

    QMenu* languages =
        window.Menu().Submenu(main_ids::kMenuEnvironment, main_ids::kLanguageSubmenu);
    ASSERT_EQ(languages->actions().size(), 2);
    languages->actions()[1]->trigger();
    EXPECT_EQ(label->text(), QString::fromUtf8("传感器1类型"));
    EXPECT_EQ(group->title(), QString::fromUtf8("传感器"));
    EXPECT_EQ(write->text(), QString::fromUtf8("写入"));
    EXPECT_EQ(type1->currentText(), QString::fromUtf8("K型热电偶"));
    EXPECT_EQ(unit->itemText(0), QString::fromUtf8("\u2103"));
    EXPECT_EQ(unit->currentText(), QString::fromUtf8("\u2103"));
    EXPECT_EQ(offsetUnit->text(), QString::fromUtf8("\u2103"));
    EXPECT_EQ(label->font().family(), window.font().family());
    EXPECT_GT(InkOf(QString::fromUtf8("\u2103"), unit->font()), 0) << "the unit is drawn";
    EXPECT_GT(InkOf(QString::fromUtf8("\u2103"), offsetUnit->font()), 0);
}

// The Setup page of the real window on `tandrin --demo`.
class DemoSetupPage : public ::testing::Test {
  protected:
    void SetUp() override {
        AppOptions options;
        options.demo = true;
        session = std::make_unique<AppSession>(options, &prompts);
        std::string error;
        ASSERT_TRUE(session->Start(error)) << error;
        window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        QWidget* page = window().Page(MainDialog::kSetupIndex);
        zero = Child<QLineEdit>(page, "IDC_EDIT_ZERO");
        span = Child<QLineEdit>(page, "IDC_EDIT_SPAN");
        damping = Child<QLineEdit>(page, "IDC_EDIT_DAMPING");
        unit = Child<QComboBox>(page, "IDC_CBO_UNIT");
        decimals = Child<QComboBox>(page, "IDC_CBO_DISREO");
        read = Child<QPushButton>(page, "IDC_cmdRead2");
        write = Child<QPushButton>(page, "IDC_cmdWrite2");
    }
    MainWindow& window() { return session->Window(); }

    test::ProgramFiles files{{"English.ini", "kvrfw.dat", "Logo.bmp"}};
    test::RecordingPrompts prompts;
    std::unique_ptr<AppSession> session;
    QLineEdit* zero = nullptr;
    QLineEdit* span = nullptr;
    QLineEdit* damping = nullptr;
    QComboBox* unit = nullptr;
    QComboBox* decimals = nullptr;
    QPushButton* read = nullptr;
    QPushButton* write = nullptr;
};

TEST_F(DemoSetupPage, ReadsConvertsAndWritesTheDemoTransmitter) {
    ASSERT_TRUE(ClickAndWait(read));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(zero->text(), QStringLiteral("0.000"));
    EXPECT_EQ(span->text(), QStringLiteral("100.000"));
    EXPECT_EQ(unit->currentText(), QString::fromUtf8("\u00B0C"));

    Choose(unit, 2);
    EXPECT_EQ(span->text(), QStringLiteral("212.000"));
    damping->clear();
    QTest::keyClicks(damping, QStringLiteral("2"));
    Choose(decimals, 3);
    ASSERT_TRUE(ClickAndWait(write));
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text.toStdString();
    EXPECT_EQ(window().StatusPane(0)->text(), QStringLiteral("Done"));

    zero->clear();
    Choose(decimals, 0);
    ASSERT_TRUE(ClickAndWait(read));
    EXPECT_EQ(zero->text(), QStringLiteral("32.000"));
    EXPECT_EQ(span->text(), QStringLiteral("212.000"));
    EXPECT_EQ(unit->currentText(), QStringLiteral("F"));
    EXPECT_EQ(damping->text(), QStringLiteral("2.0"));
    EXPECT_EQ(decimals->currentIndex(), 3);
}

// The widget tells the page what the user typed: a box left alone goes back
// as read (0.25 s, shown "0.2"), a box typed into as typed.
TEST_F(DemoSetupPage, WritesBackWhatWasNotTypedAsRead) {
    // The demo transmitter again, holding a damping its box rounds.
    sim::SimulatorThread& demo = session->Demo();
    demo.Stop();
    sim::SimSetup setup;
    setup.devices[0].m_fDamping = 0.25f;
    setup.devices[0].m_fUpperRange = 22.839394f;
    std::string error;
    ASSERT_TRUE(demo.Start(setup, error)) << error;
    hartMaster.CloseLink();
    hartMaster.m_strPortName = demo.Path();

    ASSERT_TRUE(ClickAndWait(read));
    ASSERT_EQ(damping->text(), QStringLiteral("0.2"));
    Choose(decimals, 2);
    ASSERT_TRUE(ClickAndWait(write));
    ASSERT_TRUE(ClickAndWait(read));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(hartMaster.m_fDamping, 0.25f);
    EXPECT_EQ(hartMaster.m_fUpperRange, 22.839394f);
    EXPECT_EQ(decimals->currentIndex(), 2);

    damping->selectAll();
    QTest::keyClicks(damping, QStringLiteral("0.2"));
    ASSERT_TRUE(ClickAndWait(write));
    ASSERT_TRUE(ClickAndWait(read));
    EXPECT_EQ(hartMaster.m_fDamping, 0.2f);
}

}  // namespace
}  // namespace tandrin
