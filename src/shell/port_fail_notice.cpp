#include "shell/port_fail_notice.h"

#include <cstdio>
#include <string>

#include "shell/lang_text.h"
#include "shell/main_dialog.h"

namespace tandrin {

void ShowPortFailNotice() {
    const std::string text = LangText("strPortFail");
    if (mainWindow != nullptr) {
        mainWindow->Shell().MessageBox(text, "HART", MessageIcon::kError);
        return;
    }
    std::fprintf(stderr, "HART: %s\n", text.empty() ? "strPortFail" : text.c_str());
}

}  // namespace tandrin
