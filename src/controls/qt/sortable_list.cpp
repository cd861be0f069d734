#include "controls/qt/sortable_list.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <algorithm>

namespace tandrin {

SortableList::SortableList(QWidget* parent) : QTableView(parent) {
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    // One row height for all: the view never measures a day of rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &SortableList::OnHeaderClicked);
    connect(&m_model, &SortableTableModel::sortSettled, this, [this] {
        ShowSortIndicator();
        viewport()->unsetCursor();
    });
}

bool SortableList::SetColumns(const std::string& layout) {
    const bool made = m_model.SetColumns(layout);
    const auto& columns = m_model.Rows().Columns();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        setColumnWidth(c, columns[static_cast<std::size_t>(c)].width);
    }
    return made;
}

void SortableList::FitColumnTo(int column, const QString& sample) {
    const std::pair<int, QString> fit(column, sample);
    if (std::find(m_fits.begin(), m_fits.end(), fit) == m_fits.end()) {
        m_fits.push_back(fit);
    }
    ApplyFits();
}

void SortableList::ApplyFits() {
    const auto& columns = m_model.Rows().Columns();
    // The cell's margins as the style draws them, plus a little air.
    const int margins = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 6;
    for (const auto& [column, sample] : m_fits) {
        if (column < 0 || column >= static_cast<int>(columns.size())) {
            continue;
        }
        const int needed = fontMetrics().horizontalAdvance(sample) + margins;
        setColumnWidth(column, std::max(columns[static_cast<std::size_t>(column)].width, needed));
    }
}

void SortableList::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyFits();
    }
}

void SortableList::AddRow(const std::vector<std::string>& texts) {
    AddRows({texts});
}

void SortableList::AddRows(std::vector<std::vector<std::string>> rows) {
    m_model.AddRows(std::move(rows));
    ShowSortIndicator();  // a batch ends the sort order
}

void SortableList::ReplaceTexts(int column, const std::string& from, const std::string& to) {
    m_model.ReplaceTexts(column, from, to);
}

void SortableList::DeleteAllRows() {
    m_model.DeleteAllRows();
}

void SortableList::SortByColumn(int column, bool ascending) {
    m_model.SortByColumn(column, ascending);
    ShowSortIndicator();
}

// The header turns its arrow on a click by itself; the arrow stays as the
// rows are until the sorted rows are in.
void SortableList::OnHeaderClicked(int column) {
    m_model.OnHeaderClick(column);
    ShowSortIndicator();
    if (m_model.SortUnderWay()) {
        viewport()->setCursor(Qt::BusyCursor);
    }
}

void SortableList::ShowSortIndicator() {
    const SortableRows& rows = m_model.Rows();
    horizontalHeader()->setSortIndicatorShown(rows.SortColumn() >= 0);
    horizontalHeader()->setSortIndicator(
        rows.SortColumn(), rows.Ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

}  // namespace tandrin
