#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <random>

#include "controls/row_compare.h"
#include "controls/sortable_rows.h"

namespace tandrin {
namespace {

std::vector<std::string> Column(const SortableRows& rows, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < rows.RowCount(); ++r) {
        texts.push_back(rows.Text(r, column));
    }
    return texts;
}

TEST(SortableList, ColumnsParseFromNameWidthPairs) {
    EXPECT_EQ(ParseColumns("Time,60;Value,60;Unit,50"),
              (std::vector<ListColumn>{{"Time", 60}, {"Value", 60}, {"Unit", 50}}));
    EXPECT_EQ(ParseColumns("A,12px;B,;C,7;"),
              (std::vector<ListColumn>{{"A", 12}, {"B", 0}, {"C", 7}}));
    EXPECT_EQ(ParseColumns("A,5;no comma"), (std::vector<ListColumn>{{"A", 5}}));
    EXPECT_TRUE(ParseColumns("").empty());

    SortableRows rows;
    EXPECT_TRUE(rows.SetColumns("Time,60;Value,60"));
    EXPECT_EQ(rows.ColumnCount(), 2);
    EXPECT_EQ(rows.SortColumn(), -1);
}

TEST(SortableList, ComparisonKindFollowsTheFirstText) {
    // Numbers: -3.500 before 12.000, although it comes after as text.
    EXPECT_EQ(CompareCellTexts("-3.500", "12.000"), -1);
    EXPECT_EQ(CompareCellTexts("12.000", "12"), 0);
    EXPECT_EQ(CompareCellTexts("", "0"), 0);  // empty is numeric, 0
    // Dates: year, then month, then day.
    EXPECT_EQ(CompareCellTexts("31/12/2023", "01/01/2024"), -1);
    EXPECT_EQ(CompareCellTexts("01/03/2024", "28/02/2024"), 1);
    EXPECT_EQ(CompareCellTexts("05/06/2024", "05/06/2024"), 0);
    EXPECT_EQ(KindOf("1/2/2024"), CellKind::kText);
    // Times of day compare as times.
    EXPECT_EQ(KindOf("09:59:58"), CellKind::kTime);
    EXPECT_EQ(CompareCellTexts("09:59:58", "10:00:00"), -1);
    EXPECT_EQ(CompareCellTexts("23:00:00", "23:00:00"), 0);
    EXPECT_EQ(KindOf("9:59:58"), CellKind::kText);
    // Mixed: a number first reads the other text as far as it is a number.
    EXPECT_EQ(CompareCellTexts("5", "abc"), 1);
    EXPECT_EQ(CompareCellTexts("5", "7 mA"), -1);
    EXPECT_EQ(CompareCellTexts("0", "abc"), 0);
    EXPECT_EQ(CompareCellTexts("01/01/2024", "2025"), 1);  // "2025" has no date fields
}

TEST(SortableList, RowsArriveOnTopAndSortByAnyColumnBothWays) {
    SortableRows rows;
    rows.SetColumns("Time,60;Value,60;Unit,50");
    rows.AddRow({"10:00:02", "12.000", "mA"});
    rows.AddRow({"10:00:04", "-3.500", "mA"});
    rows.AddRow({"10:00:06", "4.250"});  // a missing text is empty
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"10:00:06", "10:00:04", "10:00:02"}));
    EXPECT_EQ(rows.Text(0, 2), "");

    rows.SortByColumn(1, true);
    EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"-3.500", "4.250", "12.000"}));
    rows.SortByColumn(0, false);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"10:00:06", "10:00:04", "10:00:02"}));

    // After a descending sort of column 0, a click on it sorts ascending;
    // a click on another column starts that one ascending.
    rows.OnHeaderClick(0);
    EXPECT_TRUE(rows.Ascending());
    EXPECT_EQ(Column(rows, 0).front(), "10:00:02");
    rows.OnHeaderClick(0);
    EXPECT_FALSE(rows.Ascending());
    rows.OnHeaderClick(1);
    EXPECT_EQ(rows.SortColumn(), 1);
    EXPECT_TRUE(rows.Ascending());

    rows.AddRow({"10:00:08", "0.000", "mA"});  // still on top until the next sort
    EXPECT_EQ(rows.Text(0, 0), "10:00:08");
    rows.DeleteAllRows();
    EXPECT_EQ(rows.RowCount(), 0);
    rows.SortByColumn(5, true);  // no such column: nothing to sort
    EXPECT_EQ(rows.SortColumn(), 5);
}

// A row added to a sorted list goes to its place, on top of its equals;
// a language switch can rewrite a column's texts in place.
TEST(SortableList, RowsFindTheirPlaceInTheShownOrder) {
    SortableRows rows;
    rows.SetColumns("Time,60;Value,60;Unit,50");
    for (const char* value : {"12.000", "-3.500", "100.250", "4.250"}) {
        rows.AddRow({"10:00:00", value, "\xB0\x43"});
    }
    for (const bool ascending : {true, false}) {
        rows.SortByColumn(1, ascending);
        for (const char* value : {"4.250", "99.000", "-10.000", "1000.000"}) {
            const int at = rows.SortedPlace({"11:00:00", value, "mA"});
            rows.InsertRow({"11:00:00", value, "mA"}, at);
            EXPECT_EQ(rows.Text(at, 1), value);
        }
        std::vector<std::string> values = Column(rows, 1);
        std::vector<double> numbers;
        for (const std::string& v : values) {
            numbers.push_back(std::stod(v));
        }
        EXPECT_TRUE(ascending ? std::is_sorted(numbers.begin(), numbers.end())
                              : std::is_sorted(numbers.rbegin(), numbers.rend()));
        // The newer of two equal values is on top.
        const auto first = std::find(values.begin(), values.end(), "4.250") - values.begin();
        EXPECT_EQ(rows.Text(static_cast<int>(first), 0), "11:00:00");
        rows.DeleteAllRows();
        for (const char* value : {"12.000", "-3.500", "100.250", "4.250"}) {
            rows.AddRow({"10:00:00", value, "\xB0\x43"});
        }
    }
    EXPECT_EQ(rows.ReplaceTexts(2, "\xB0\x43", "\xA1\xE6"), 4);
    EXPECT_EQ(rows.Text(0, 2), "\xA1\xE6");
    rows.ClearSort();
    EXPECT_EQ(rows.SortColumn(), -1);
}

// A comma-decimal locale changes neither how numbers read nor their order.
TEST(SortableList, NumbersSortAsNumbersUnderACommaDecimalLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed: scripts/install-deps generates it";
    }
    SortableRows rows;
    rows.SetColumns("Value,60;Unit,50");
    // atof would read 12.250 and 12.750 as 12 and leave them as added.
    for (const char* value : {"12.250", "100.250", "-3.500", "12.750"}) {
        rows.AddRow({value, "mA"});
    }
    rows.SortByColumn(0, true);
    const std::vector<std::string> sorted = Column(rows, 0);
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(sorted, (std::vector<std::string>{"-3.500", "12.250", "12.750", "100.250"}));
}

// A column of texts sorts by collation, equal texts keeping their order.
TEST(SortableList, TextColumnsSortByCollationKeepingEqualsInOrder) {
    SortableRows rows;
    rows.SetColumns("Unit,50;N,10");
    const char* units[] = {"mA", "%", "K", "mV", "Ohm", "mA", "%"};
    for (int i = 0; i < 70; ++i) {
        rows.AddRow({units[i % 7], std::to_string(i)});
    }
    rows.SortByColumn(0, true);
    for (int r = 1; r < rows.RowCount(); ++r) {
        const int order = CompareCellTexts(rows.Text(r - 1, 0), rows.Text(r, 0));
        ASSERT_LE(order, 0) << r;
        if (order == 0) {  // newest on top, as added
            EXPECT_GT(std::stoi(rows.Text(r - 1, 1)), std::stoi(rows.Text(r, 1)));
        }
    }
}

// A column mixing numbers, dates and texts has no consistent order; sorting
// it must still keep every row and never read outside the list.
TEST(SortableList, MixedColumnsSortWithoutLosingRows) {
    const char* texts[] = {"12", "abc", "01/02/2024", "-4", "", "x9", "31/12/1999", "7.5"};
    std::mt19937 random(7);
    SortableRows rows;
    rows.SetColumns("Mixed,60");
    std::vector<std::string> added;
    for (int i = 0; i < 5000; ++i) {
        added.emplace_back(texts[random() % std::size(texts)]);
        rows.AddRow({added.back()});
    }
    for (bool ascending : {true, false}) {
        rows.SortByColumn(0, ascending);
        std::vector<std::string> now = Column(rows, 0);
        std::vector<std::string> expected = added;
        std::sort(now.begin(), now.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(now, expected);
    }
}

}  // namespace
}  // namespace tandrin
