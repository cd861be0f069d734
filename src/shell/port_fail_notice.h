#pragma once

namespace tandrin {

// Tells the user that a port opened but refused the HART line settings:
// the text of "strPortFail", caption "HART", error icon. Through the main
// window's shell once it exists; before that, on stderr.
void ShowPortFailNotice();

}  // namespace tandrin
