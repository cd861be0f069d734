#pragma once

namespace tandrin {

// Qt's own texts (message box buttons, file dialogs) follow the interface
// language: Qt's Chinese translation is installed while the interface is
// Chinese. True when Qt's texts are now in the interface language (false
// when the Chinese translation is not installed on this system).
bool FollowLanguageInQtTexts();

}  // namespace tandrin
