#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tandrin {

// The order that sorts one column of a list. `texts` are the column's
// cells newest last, as the list stores them, and so is the answer: the
// stored index of each cell, such that the display (newest on top) runs
// ascending or descending. Equal cells keep their places relative to each
// other. Reads nothing but `texts`, so a worker thread may run it on a
// copy while the list goes on taking rows.
std::vector<std::size_t> ColumnOrder(const std::vector<std::string>& texts, bool ascending);

}  // namespace tandrin
