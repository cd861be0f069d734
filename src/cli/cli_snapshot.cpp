#include "cli/cli_snapshot.h"

#include <cerrno>
#include <ostream>

#include "cli/cli_option_checks.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/json_writer.h"
#include "link/hart_master.h"
#include "procedures/snapshot_procedure.h"
#include "shell/atomic_file.h"
#include "shell/lang_text.h"
#include "shell/private_profile.h"

namespace tandrin::cli {

const char* const kSnapshotHelp = R"(
Configuration snapshots (the Setup and Device information pages' values in
a JSON file; see docs/snapshots.md):
  snapshot take FILE    reads the transmitter as the pages do and writes
                        FILE (JSON keys: file, tag, taken)
  snapshot diff FILE    lists what differs between FILE and the transmitter
                        (JSON: differences, a list of {"field", "snapshot",
                        "device"}); exit 3 when something differs
  snapshot restore FILE writes what differs through the pages' Updates and
                        reads back (JSON: differences, not_taken, restored);
                        exit 1 when a value did not take
    options (--dry-run, --with-address, --with-final-assembly, --yes):
                        tandrin-cli snapshot --help
A file that does not read whole is refused and nothing is written.
)";

namespace {

std::vector<JsonObject> DifferencesJson(const std::vector<FieldDifference>& differences) {
    std::vector<JsonObject> objects;
    for (const FieldDifference& d : differences) {
        objects.push_back(
            JsonObject().Add("field", d.field).Add("snapshot", d.snapshot).Add("device", d.device));
    }
    return objects;
}

std::string Text(const char* key) {
    return Utf8(LangText("Snapshot", key));
}

// A heading, then one line a field: its name, the file's value, the
// transmitter's value, in the interface language.
std::string DifferencesText(const std::vector<FieldDifference>& differences) {
    std::string text = Text("strSnapColField") + ": " + Text("strSnapColFile") + " / " +
                       Text("strSnapColDevice") + "\n";
    for (const FieldDifference& d : differences) {
        text += Utf8(FieldCaption(d.field)) + ": " + Utf8(FieldValueText(d.field, d.snapshot)) +
                " / " + Utf8(FieldValueText(d.field, d.device)) + "\n";
    }
    return text;
}

class SnapshotCommand {
  public:
    explicit SnapshotCommand(CliSession& session)
        : m_session(session), m_args(session.Options().snapshot) {}

    int Run();

  private:
    int Take();
    int Diff();
    int Restore();
    // The file read whole, or false after the failure has been printed.
    bool ReadFile(DeviceSnapshot& saved);
    // The transmitter read; false after the failure has been printed.
    bool ReadDevice(DeviceSnapshot& device);
    int Failed(ProcedureOutcome outcome);
    // Prints `json` or `text`; `code` when the output went out.
    int Print(const JsonObject& json, const std::string& text, int code);
    CompareScope Scope() const { return {m_args.withAddress, m_args.withFinalAssembly}; }

    CliSession& m_session;
    const SnapshotArguments& m_args;
    SnapshotProcedure m_procedure;
};

int SnapshotCommand::Print(const JsonObject& json, const std::string& text, int code) {
    CliOutput& output = m_session.Output();
    output.Out() << (output.Json() ? json.Text() + "\n" : text);
    const int written = output.Done();
    return written == kExitOk ? code : written;
}

int SnapshotCommand::Failed(ProcedureOutcome outcome) {
    const std::string message = m_session.LastMessage();
    // A port that went away stops the procedure too, but it was not the user.
    if (hartMaster.PortLost()) {
        return m_session.Output().Fail(Utf8(LangText("strPortLost")));
    }
    if (outcome == ProcedureOutcome::kStopped) {
        return m_session.Output().Fail("stopped");
    }
    return m_session.Output().Fail(message.empty() ? Utf8(LangText("strOpFail")) : Utf8(message));
}

bool SnapshotCommand::ReadFile(DeviceSnapshot& saved) {
    std::string text;
    std::string error;
    if (const FileReadStatus read = ReadWholeFile(m_args.file, text); !read) {
        m_session.Output().Fail(FileReadProblem(m_args.file, read));
        return false;
    }
    if (!ParseSnapshot(text, saved, error)) {
        m_session.Output().Fail(m_args.file + ": " + error + "; nothing has been written");
        return false;
    }
    return true;
}

bool SnapshotCommand::ReadDevice(DeviceSnapshot& device) {
    m_session.Shell().messages.clear();
    const ProcedureOutcome outcome = m_procedure.Take(device);
    if (outcome != ProcedureOutcome::kDone) {
        hartMaster.CloseLink();
        Failed(outcome);
        return false;
    }
    return true;
}

int SnapshotCommand::Take() {
    DeviceSnapshot snapshot;
    if (!ReadDevice(snapshot)) {
        return kExitFailed;
    }
    hartMaster.CloseLink();
    errno = 0;
    if (!WriteFileAtomically(m_args.file, SnapshotFileText(snapshot))) {
        // The reason: a full disk, no permission, a read-only file system.
        return m_session.Output().Fail(FileWriteProblem(m_args.file, errno));
    }
    return Print(
        JsonObject().Add("file", m_args.file).Add("tag", snapshot.tag).Add("taken", snapshot.taken),
        Text("strSnapSaved") + m_args.file + "\n", kExitOk);
}

int SnapshotCommand::Diff() {
    DeviceSnapshot saved;
    DeviceSnapshot device;
    if (!ReadFile(saved) || !ReadDevice(device)) {
        return kExitFailed;
    }
    hartMaster.CloseLink();
    const auto differences = CompareSnapshots(saved, device, Scope());
    return Print(JsonObject().Add("differences", DifferencesJson(differences)),
                 differences.empty() ? Text("strSnapEqual") + "\n" : DifferencesText(differences),
                 differences.empty() ? kExitOk : kExitDifferent);
}

int SnapshotCommand::Restore() {
    DeviceSnapshot saved;
    DeviceSnapshot device;
    if (!ReadFile(saved) || !ReadDevice(device)) {
        return kExitFailed;
    }
    if (!SameKindOfDevice(saved.identity, device.identity) && !m_args.yes) {
        hartMaster.CloseLink();
        return m_session.Output().Fail(
            "the file comes from a transmitter of another manufacturer or type; give --yes to "
            "restore it anyway");
    }
    if (m_args.dryRun) {
        hartMaster.CloseLink();
        const auto differences = CompareSnapshots(saved, device, Scope());
        return Print(
            JsonObject().Add("differences", DifferencesJson(differences)),
            differences.empty() ? Text("strSnapEqual") + "\n" : DifferencesText(differences),
            differences.empty() ? kExitOk : kExitDifferent);
    }
    m_session.Shell().messages.clear();
    const RestoreReport report = m_procedure.Restore(saved, device, Scope());
    hartMaster.CloseLink();
    if (report.outcome == ProcedureOutcome::kStopped) {
        return Failed(report.outcome);
    }
    const bool restored = report.notTaken.empty() && report.outcome == ProcedureOutcome::kDone;
    std::string text = DifferencesText(report.differences);
    if (report.differences.empty()) {
        text = Text("strSnapEqual") + "\n";
    } else if (restored) {
        text += Text("strSnapRestored") + "\n";
    } else {
        text += Text("strSnapNotTaken") + "\n" + DifferencesText(report.notTaken);
    }
    return Print(JsonObject()
                     .Add("differences", DifferencesJson(report.differences))
                     .Add("not_taken", DifferencesJson(report.notTaken))
                     .Add("restored", restored),
                 text, restored ? kExitOk : kExitFailed);
}

int SnapshotCommand::Run() {
    if (m_args.action == "take") {
        return Take();
    }
    if (m_args.action == "diff") {
        return Diff();
    }
    return Restore();
}

}  // namespace

void AddSnapshotArguments(CLI::App& command, CliOptions& all) {
    auto& snapshot = all.snapshot;
    command.add_option("ACTION", snapshot.action, "take, diff or restore")
        ->required()
        ->check(OneOf({"take", "diff", "restore"}));
    command.add_option("FILE", snapshot.file, "the snapshot file (JSON)")->required();
    command.add_flag("--dry-run", snapshot.dryRun, "only list what restore would write");
    command.add_flag("--with-address", snapshot.withAddress,
                     "include the polling address (diff and restore)");
    command.add_flag("--with-final-assembly", snapshot.withFinalAssembly,
                     "include the final assembly number (diff and restore)");
    command.add_flag("--yes", snapshot.yes,
                     "restore onto a transmitter of another manufacturer or type");
}

bool CheckSnapshotArguments(const std::string& command, const SnapshotArguments& snapshot,
                            std::string& error) {
    if (command != "snapshot") {
        return true;
    }
    if ((snapshot.dryRun || snapshot.yes) && snapshot.action != "restore") {
        error = "--dry-run and --yes belong to snapshot restore";
        return false;
    }
    if ((snapshot.withAddress || snapshot.withFinalAssembly) && snapshot.action == "take") {
        error = "--with-address and --with-final-assembly belong to snapshot diff and restore";
        return false;
    }
    return true;
}

int RunSnapshot(CliSession& session) {
    SnapshotCommand command(session);
    return command.Run();
}

}  // namespace tandrin::cli
