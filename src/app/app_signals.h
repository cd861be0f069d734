#pragma once

class QObject;

namespace tandrin {

class StopSignals;

// When SIGTERM, SIGINT or SIGHUP comes, leaves every running event loop
// (the main window's modal run, a message box, a pumping delay) so that
// the session tears down the normal way and closes the link.
void QuitOnStopSignals(const StopSignals& stopSignals, QObject* parent);

}  // namespace tandrin
