#include "cli/cli_commands.h"

#include <cstdio>

#include "cli/cli_session.h"
#include "device/encodings.h"
#include "link/hart_master.h"
#include "link/scan_ports.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"

namespace tandrin::cli {

namespace {

std::string TrimEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

int RunPorts(CliSession& session) {
    std::vector<std::string> ports;
    ScanPorts(ports, session.ExtraPorts());
    CliOutput& output = session.Output();
    if (ports.empty()) {
        output.Err() << "tandrin-cli: no serial port could be opened\n";
    }
    std::string text;
    for (const std::string& port : ports) {
        text += (text.empty() ? "" : "\n") + port;
    }
    if (ports.empty() && !output.Json()) {
        return kExitOk;  // nothing to print; the note above says so
    }
    return output.Succeed(JsonObject().Add("ports", ports), text);
}

int RunSearch(CliSession& session) {
    std::string error;
    const std::vector<int> none;
    if (!session.RunSequence(&MainDialog::Search, error)) {
        return session.Output().Fail(error, JsonObject().Add("addresses", none));
    }
    const MemoryForm& box = session.Controls();
    std::vector<int> addresses;
    for (int i = 0; i < box.EntryCount(main_ids::kShortAddressBox); ++i) {
        addresses.push_back(std::stoi(box.Entry(main_ids::kShortAddressBox, i)));
    }
    if (addresses.empty()) {
        return session.Output().Fail(Utf8(LangText("strNoMeter")),
                                     JsonObject().Add("addresses", none));
    }
    return session.Output().Succeed(JsonObject().Add("addresses", addresses),
                                    Utf8(session.LastMessage()));
}

int RunOnLine(CliSession& session) {
    std::string error;
    if (!session.RunSequence(&MainDialog::OnLine, error)) {
        return session.Output().Fail(error);
    }
    const std::string address =
        BytesToHex(hartMaster.m_abyLongAddr.data(), hartMaster.m_abyLongAddr.size());
    return session.Output().Succeed(
        JsonObject().Add("address", session.Options().address).Add("long_address", address),
        address);
}

int RunRead(CliSession& session) {
    std::string error;
    if (!session.RunSequence(&MainDialog::ReadValues, error)) {
        return session.Output().Fail(error);
    }
    JsonObject json;
    json.Add("pv", hartMaster.m_fPV)
        .Add("unit", Utf8(hartMaster.m_strPVUnit))
        .Add("current_ma", hartMaster.m_fLoopCurrent)
        .Add("percent", hartMaster.m_fPercentRange);
    const MemoryForm& form = session.Controls();
    const std::string text = Utf8(form.Text(main_ids::kPvReadout)) + "\n" +
                             form.Text(main_ids::kCurrentReadout) + " mA\n" +
                             form.Text(main_ids::kPercentReadout) + " %";
    return session.Output().Succeed(json, text);
}

int RunVersion(CliSession& session) {
    std::string error;
    if (!session.RunSequence(&MainDialog::ProductInformation, error)) {
        return session.Output().Fail(error);
    }
    return session.Output().Succeed(
        JsonObject().Add("version", Utf8(hartMaster.m_strSoftwareVersion)),
        Utf8(TrimEnd(session.LastMessage())));
}

int RunReset(CliSession& session) {
    std::string error;
    if (!session.RunSequence(&MainDialog::Reset, error)) {
        return session.Output().Fail(error);
    }
    return session.Output().Succeed(JsonObject().Add("ok", true), Utf8(session.Shell().status[0]));
}

}  // namespace tandrin::cli
