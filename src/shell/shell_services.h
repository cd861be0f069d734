#pragma once

#include <string>

#include "link/hart_ip_message.h"

namespace tandrin {

enum class MessageIcon { kInformation, kWarning, kError, kQuestion };

// How much a device status asks of the technician: the label's colour.
enum class StatusSeverity { kNone, kNotice, kWarning, kAlarm };

// What the shell asks of the windowing system besides the controls.
// Texts are bytes in the interface code page.
class ShellServices {
  public:
    virtual ~ShellServices() = default;

    virtual void MessageBox(const std::string& text, const std::string& caption,
                            MessageIcon icon) = 0;
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    enum class Answer { kYes, kNo, kCancel };
    // A question that may also be cancelled; front ends without Cancel ask
    // Yes or No.
    virtual Answer AskYesNoCancel(const std::string& text, const std::string& caption) {
        return AskYesNo(text, caption) ? Answer::kYes : Answer::kNo;
    }
    virtual void SetStatusText(int pane, const std::string& text) = 0;
    virtual void SetProgress(int upper, int position) = 0;  // range 0..upper
    // Empty when the user cancels. `filter` like "Trend records (*.tdd)".
    virtual std::string OpenFileDialog(const std::string& filter) = 0;
    virtual std::string SaveFileDialog(const std::string& filter,
                                       const std::string& defaultExtension) = 0;
    virtual void OpenAddress(const std::string& address) = 0;
    // The transmitter's device status in the status bar: `text` the most
    // serious condition (empty when all is well), `details` every one.
    virtual void SetDeviceStatus(const std::string& /*text*/, const std::string& /*details*/,
                                 StatusSeverity /*severity*/) {}
    // A save dialog with its title and a suggested file name; front ends
    // without them fall back to the plain one.
    virtual std::string SaveFileDialogTitled(const std::string& /*title*/,
                                             const std::string& filter,
                                             const std::string& /*defaultName*/,
                                             const std::string& defaultExtension) {
        return SaveFileDialog(filter, defaultExtension);
    }
    // Asks for a HART-IP server (host, port, UDP or TCP), starting from
    // `address`; false when the user cancels or the front end cannot ask.
    virtual bool AskHartIpServer(HartIpAddress& /*address*/) { return false; }
};

}  // namespace tandrin
