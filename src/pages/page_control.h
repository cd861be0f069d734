#pragma once

namespace tandrin {

// One control of a page's layout: its identifier and its resource name (the
// Qt layer's objectName).
struct PageControl {
    int id;
    const char* name;
};

}  // namespace tandrin
