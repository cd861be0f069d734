#pragma once

#include <functional>
#include <optional>

#include "procedures/snapshot_procedure.h"
#include "shell/shell_services.h"

namespace tandrin {

// What the File menu's "Save Device Configuration…" and "Restore Device
// Configuration…" do, over the shell services. The restore's differences
// dialog is the front end's: it gets every difference (the polling address
// and final assembly number too) and returns what to restore, or nothing
// for Cancel.
class SnapshotWorkflow {
  public:
    using AskRestore =
        std::function<std::optional<CompareScope>(const std::vector<FieldDifference>& differences)>;

    SnapshotWorkflow(ShellServices& shell, AskRestore askRestore)
        : m_shell(shell), m_askRestore(std::move(askRestore)) {}

    void SaveConfiguration();
    void RestoreConfiguration();

  private:
    bool MayStart();
    void Message(const std::string& text, MessageIcon icon);
    void ReportRestore(const RestoreReport& report);

    ShellServices& m_shell;
    AskRestore m_askRestore;
};

}  // namespace tandrin
