#pragma once

#include <QTableView>
#include <string>
#include <vector>

#include "controls/qt/sortable_table_model.h"

namespace tandrin {

// A report-style list of text columns that sorts by any column: a click on
// a header sorts by it (on a worker thread: the window answers meanwhile),
// a second click reverses the order. Rows are added on top; a day of
// samples stays fast because the view asks only for the rows it shows.
class SortableList : public QTableView {
    Q_OBJECT

  public:
    explicit SortableList(QWidget* parent = nullptr);

    // "name,width;name,width;..." in the interface code page.
    bool SetColumns(const std::string& layout);
    // Keeps `column` wide enough for `sample` to show whole, also after the
    // font changes (the Chinese face's digits are wider).
    void FitColumnTo(int column, const QString& sample);
    // A single row into a sorted list goes to its place; a batch goes on
    // top and clears the sort arrow.
    void AddRow(const std::vector<std::string>& texts);
    void AddRows(std::vector<std::vector<std::string>> rows);
    void ReplaceTexts(int column, const std::string& from, const std::string& to);
    void DeleteAllRows();
    void SortByColumn(int column, bool ascending);

    int RowCount() const { return m_model.Rows().RowCount(); }
    const SortableRows& Rows() const { return m_model.Rows(); }
    SortableTableModel& Model() { return m_model; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void OnHeaderClicked(int column);
    void ShowSortIndicator();
    void ApplyFits();

    SortableTableModel m_model;
    std::vector<std::pair<int, QString>> m_fits;
};

}  // namespace tandrin
