#pragma once

#include <string>

#include "procedures/loop_check_record.h"

namespace tandrin {

struct LoopCheckReportOptions {
    // Empty: the plot is inline SVG. Otherwise an <img> naming this
    // resource, for renderers without SVG (the Qt text document).
    std::string plotImage;
};

// The report as one self-contained XHTML document (UTF-8): identity,
// settings, as-found and as-left side by side, overall results, the plot
// and fields for the technician and the reference meter. Prints on A4 and
// Letter alike.
std::string LoopCheckReportHtml(const LoopCheckRecord& record,
                                const LoopCheckReportOptions& options = {});
// The plot alone: error against point, tolerance band, both passes.
std::string LoopCheckPlotSvg(const LoopCheckRecord& record);
// One line per tested point of each pass, with a header line.
std::string LoopCheckCsv(const LoopCheckRecord& record);

}  // namespace tandrin
