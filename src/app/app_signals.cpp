#include "app/app_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/stop_signals.h"

namespace tandrin {

void QuitOnStopSignals(const StopSignals& stopSignals, QObject* parent) {
    auto* notifier = new QSocketNotifier(stopSignals.ReadFd(), QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
        notifier->setEnabled(false);  // the pipe stays readable
        // Ends nested loops too, and any loop started after it at once.
        QCoreApplication::exit(StopSignals::ExitStatus(0));
    });
}

}  // namespace tandrin
