#include "pages/setup_page_form.h"

#include "pages/setup_page_layout.h"

namespace tandrin {

void AddSetupPageControls(MemoryForm& form) {
    for (const setup_layout::Control& control : setup_layout::kControls) {
        form.Add(control.id, control.caption).visible = !control.hidden;
    }
}

}  // namespace tandrin
