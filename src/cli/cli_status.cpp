#include "cli/cli_status.h"

#include "cli/cli_session.h"
#include "link/hart_master.h"
#include "pages/device_status.h"

namespace tandrin::cli {

int RunStatus(CliSession& session) {
    DeviceStatusReader reader;
    std::string error;
    if (!session.RunSequence([&] { reader.Read(); }, error)) {
        return session.Output().Fail(error);
    }
    // JSON: the bits are in device_status already; the standard bytes as
    // numbers, the device-specific ones as hex.
    JsonObject json;
    std::string text;
    for (const StatusRow& row : DeviceStatusRows(hartMaster)) {
        const std::string value = Utf8(row.value);
        if (row.byte >= 0) {
            json.Add(row.key, row.byte);
        } else if (row.key == "device_specific") {
            json.Add(row.key, value);
        }
        text += (text.empty() ? "" : "\n") + Utf8(row.label) + ": " + value;
    }
    return session.Output().Succeed(json, text);
}

int RunClearConfigChanged(CliSession& session) {
    // Naming the command is the confirmation.
    session.Shell().answerYes = true;
    DeviceStatusReader reader;
    std::string error;
    if (!session.RunSequence([&] { reader.ClearConfigChanged(); }, error)) {
        return session.Output().Fail(error);
    }
    return session.Output().Succeed(JsonObject().Add("ok", true), Utf8(session.Shell().status[0]));
}

}  // namespace tandrin::cli
