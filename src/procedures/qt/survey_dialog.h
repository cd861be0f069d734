#pragma once

#include <QDialog>

#include "procedures/survey.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QDoubleSpinBox;
class QTableWidget;

namespace tandrin {

class UserPrompts;

// Device > Survey...: every transmitter on the current line in one table,
// filled row by row as they answer; refreshed until Stop; sortable; a row
// chosen becomes the pages' transmitter; exported as CSV or JSON.
class SurveyDialog : public QDialog {
    Q_OBJECT

  public:
    enum Column {
        kAddress,
        kLongAddress,
        kManufacturer,
        kDeviceType,
        kTag,
        kDescriptor,
        kPv,
        kUnit,
        kCurrent,
        kPercent,
        kStatus,
        kColumns
    };

    explicit SurveyDialog(UserPrompts& prompts, QWidget* parent = nullptr);
    ~SurveyDialog() override;

    // The buttons, for the window's own use and the tests.
    void StartSearch();
    void StartRefresh();
    void Stop();
    // Makes the transmitter of the table's current row the pages' one.
    void UseCurrentRow();
    bool Export(const QString& path);

    Survey& Procedure() { return m_survey; }
    QTableWidget* Table() const { return m_table; }
    QLabel* Progress() const { return m_progress; }
    QLineEdit* AddressesBox() const { return m_addresses; }
    QSpinBox* TriesBox() const { return m_tries; }

    void done(int result) override;

  private:
    void Fill(std::size_t row);
    void Update();
    void Save(bool json);

    UserPrompts& m_prompts;
    Survey m_survey;
    QLineEdit* m_addresses = nullptr;
    QSpinBox* m_tries = nullptr;
    QDoubleSpinBox* m_refresh = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_use = nullptr;
    QPushButton* m_csv = nullptr;
    QPushButton* m_json = nullptr;
    QPushButton* m_close = nullptr;
    QLabel* m_progress = nullptr;
    QTableWidget* m_table = nullptr;
};

}  // namespace tandrin
