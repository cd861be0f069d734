#include "procedures/snapshot_workflow.h"

#include "link/command_flags.h"
#include "shell/atomic_file.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/private_profile.h"

namespace tandrin {

namespace {

constexpr const char* kSection = "Snapshot";
constexpr const char* kCaption = "HART";

std::string Text(const char* key) {
    return LangText(kSection, key);
}

}  // namespace

bool SnapshotWorkflow::MayStart() {
    if (busyFlag != 0 || SnapshotProcedure::Running()) {
        Message(LangText("strBusy"), MessageIcon::kInformation);
        return false;
    }
    return true;
}

void SnapshotWorkflow::Message(const std::string& text, MessageIcon icon) {
    m_shell.MessageBox(text, kCaption, icon);
}

void SnapshotWorkflow::SaveConfiguration() {
    if (!MayStart()) {
        return;
    }
    const std::string path = m_shell.SaveFileDialogTitled(
        Text("IDM_FILE_SAVECONFIG"), Text("strSnapFilter"), "configuration.json", "json");
    if (path.empty()) {
        return;
    }
    SnapshotProcedure procedure;
    DeviceSnapshot snapshot;
    // A failed or stopped read has been reported by the page's sequence.
    if (procedure.Take(snapshot) != ProcedureOutcome::kDone) {
        return;
    }
    if (!WriteFileAtomically(path, SnapshotFileText(snapshot))) {
        Message(Text("strSnapWriteFail"), MessageIcon::kError);
        return;
    }
    m_shell.SetStatusText(0, Text("strSnapSaved") + path);
}

void SnapshotWorkflow::RestoreConfiguration() {
    if (!MayStart()) {
        return;
    }
    const std::string path = m_shell.OpenFileDialog(Text("strSnapFilter"));
    if (path.empty()) {
        return;
    }
    std::string text;
    std::string error = "cannot read the file";
    DeviceSnapshot saved;
    if (!ReadWholeFile(path, text) || !ParseSnapshot(text, saved, error)) {
        Message(Text("strSnapReadFail") + error, MessageIcon::kError);
        return;
    }
    SnapshotProcedure procedure;
    DeviceSnapshot device;
    if (procedure.Take(device) != ProcedureOutcome::kDone) {
        return;
    }
    if (!SameKindOfDevice(saved.identity, device.identity) &&
        !m_shell.AskYesNo(Text("strSnapOtherDevice"), kCaption)) {
        return;
    }
    const auto differences = CompareSnapshots(saved, device, {true, true});
    if (differences.empty()) {
        Message(Text("strSnapEqual"), MessageIcon::kInformation);
        return;
    }
    const std::optional<CompareScope> scope = m_askRestore(differences);
    if (!scope) {
        return;
    }
    const RestoreReport report = procedure.Restore(saved, device, *scope);
    // Open pages show what the transmitter now holds: a Write on one of
    // them must not undo the restore.
    if (report.readBack && mainWindow != nullptr) {
        mainWindow->ShowReadBackOnPages();
    }
    ReportRestore(report);
}

void SnapshotWorkflow::ReportRestore(const RestoreReport& report) {
    if (report.outcome == ProcedureOutcome::kStopped) {
        return;  // the status bar says so
    }
    if (report.notTaken.empty() && report.outcome == ProcedureOutcome::kDone) {
        Message(Text("strSnapRestored"), MessageIcon::kInformation);
        return;
    }
    std::string list = Text("strSnapNotTaken");
    for (const FieldDifference& d : report.notTaken) {
        list += "\r" + FieldCaption(d.field) + ": " + FieldValueText(d.field, d.device) + " (" +
                Text("strSnapColFile") + ": " + FieldValueText(d.field, d.snapshot) + ")";
    }
    Message(list, MessageIcon::kWarning);
}

}  // namespace tandrin
