#pragma once

namespace tandrin::cli {

class CliSession;

// `setup` and `set-setup`, run through the Setup page's own logic on
// in-memory controls; the exit code.
int RunSetup(CliSession& session);
int RunSetSetup(CliSession& session);

}  // namespace tandrin::cli
