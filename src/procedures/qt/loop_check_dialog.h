#pragma once

#include <QDialog>
#include <memory>

#include "procedures/loop_check.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTableWidget;
class QTextDocument;

namespace tandrin {

class UserPrompts;

// The loop check window: points, tolerance and settling time, a table that
// fills as the check runs, the reading of each point, Next and Stop, the
// trim offer after a failed as-found pass, and the report saved (HTML, PDF,
// CSV) or printed. The procedure is the core's LoopCheck.
class LoopCheckDialog : public QDialog {
    Q_OBJECT

  public:
    explicit LoopCheckDialog(UserPrompts& prompts, QWidget* parent = nullptr);
    ~LoopCheckDialog() override;

    LoopCheck& Check() { return m_check; }
    // Writes the report to `path`: .pdf through Qt's PDF writer, .csv as
    // CSV, anything else as the XHTML report. False when it failed.
    bool SaveReport(const QString& path);
    // Lays the report out on `printer`.
    void PrintReport(QPrinter& printer);
    // The report as Qt lays it out for printing, the plot as an image.
    std::unique_ptr<QTextDocument> ReportDocument();

    void done(int result) override;

  private:
    void BuildWidgets();
    void Translate();
    void StartCheck();
    void EnterReading();
    void SaveClicked();
    void PrintClicked();
    void Refresh();
    void FillTable();
    void ShowPrompt();
    void AfterAsFound();
    void TakeNames();
    void Warn(const std::string& key);

    UserPrompts& m_prompts;
    LoopCheck m_check;
    bool m_bAsFoundHandled = false;
    QLabel* m_pointsLabel = nullptr;
    QLabel* m_toleranceLabel = nullptr;
    QLabel* m_settleLabel = nullptr;
    QLabel* m_technicianLabel = nullptr;
    QLabel* m_meterLabel = nullptr;
    QLabel* m_readingLabel = nullptr;
    QLineEdit* m_points = nullptr;
    QLineEdit* m_tolerance = nullptr;
    QLineEdit* m_settle = nullptr;
    QCheckBox* m_readTransmitter = nullptr;
    QLineEdit* m_technician = nullptr;
    QLineEdit* m_meter = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_prompt = nullptr;
    QLineEdit* m_reading = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace tandrin
