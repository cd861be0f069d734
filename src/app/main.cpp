#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/app_signals.h"
#include "platform/stop_signals.h"

int main(int argc, char** argv) {
    using namespace tandrin;
    const StopSignals stopSignals;  // SIGTERM, SIGINT, SIGHUP: quit the orderly way
    AppOptions options;
    std::string error;
    if (!ParseAppOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "tandrin: " << error << "\nTry tandrin --help.\n";
        return 2;
    }
    if (options.help) {
        std::cout << options.helpText;
        return 0;
    }
    const std::string problem =
        DisplayProblem(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                       std::getenv("WAYLAND_DISPLAY"), options.platformGiven);
    if (!problem.empty()) {
        std::cerr << "tandrin: " << problem;
        return 1;
    }

    QApplication app(argc, argv);
    QuitOnStopSignals(stopSignals, &app);
    QApplication::setApplicationName(QStringLiteral("Tandrin"));
    QApplication::setDesktopFileName(QStringLiteral("tandrin"));
    AppSession session(options);
    if (!session.Start(error)) {
        std::cerr << "tandrin: " << error << "\n";
        return 1;
    }
    if (!session.LanguageKnown()) {
        std::cerr << "tandrin: no language file for \"" << options.language
                  << "\"\nTry tandrin --help.\n";
        return 2;
    }
    return StopSignals::ExitStatus(session.Run());
}
