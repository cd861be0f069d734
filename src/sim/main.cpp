// tandrin-sim: HART temperature transmitters behind a pty or a serial port.
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/poll_event_loop.h"
#include "platform/stop_signals.h"
#include "sim/hart_ip_server.h"
#include "sim/sim_line.h"
#include "sim/sim_options.h"
#include "sim/simulator.h"
#include "sim/symlink_file.h"

namespace {

using namespace tandrin;
using namespace tandrin::sim;

void Announce(const SimCommandLine& options, const std::string& path) {
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "tandrin-sim: %zu transmitter%s on %s%s%s (%s); Ctrl+C stops\n",
                 options.devices.size(), options.devices.size() == 1 ? "" : "s", path.c_str(),
                 options.linkPath ? ", linked at " : "",
                 options.linkPath ? options.linkPath->c_str() : "",
                 options.fast ? "fast" : "1200 baud pace");
}

std::unique_ptr<SimLine> OpenLine(const SimCommandLine& options, std::string& error) {
    return options.portDevice ? OpenSerialLine(*options.portDevice, error) : OpenPtyLine(error);
}

int Serve(const SimCommandLine& options) {
    // Before the link is placed, so that no signal can leave it behind.
    const StopSignals stopSignals;
    ::signal(SIGPIPE, SIG_IGN);  // a closed stdout must not kill the line
    std::string error;
    auto line = OpenLine(options, error);
    if (!line) {
        std::fprintf(stderr, "tandrin-sim: %s\n", error.c_str());
        return 1;
    }
    std::string linked = line->Path();
    if (options.linkPath && !PlaceSymlink(*options.linkPath, linked, error)) {
        std::fprintf(stderr, "tandrin-sim: %s\n", error.c_str());
        return 1;
    }

    PollEventLoop loop;
    loop.WatchFd(stopSignals.ReadFd(), POLLIN, [&](short) {
        loop.UnwatchFd(stopSignals.ReadFd());
        loop.Quit();
    });

    FaultPlan faults;
    for (const FaultRule& fault : options.faults) {
        faults.Add(fault);
    }
    SimOptions simOptions;
    simOptions.pacing.paced = !options.fast;
    simOptions.trace = options.trace ? &std::cerr : nullptr;
    simOptions.seed = options.seed;
    Announce(options, linked);
    Simulator simulator(loop, std::move(line), options.devices, std::move(faults), simOptions);
    std::unique_ptr<HartIpServer> server;
    if (options.hartIpHost) {
        server = std::make_unique<HartIpServer>(
            loop, options.hartIpFaults,
            options.fast ? HartIpServer::kFastLineTimeoutMs : HartIpServer::kPacedLineTimeoutMs,
            simOptions.trace);
        if (!server->Listen(*options.hartIpHost, options.hartIpPort, error) ||
            !server->AttachLine(linked, error)) {
            std::fprintf(stderr, "tandrin-sim: %s\n", error.c_str());
            return 1;
        }
        HartIpAddress address;
        address.host = options.hartIpHost->empty() ? "127.0.0.1" : *options.hartIpHost;
        address.port = server->Port();
        std::printf("%s\n", HartIpName(address).c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "tandrin-sim: HART-IP on UDP and TCP port %u of %s\n", address.port,
                     address.host.c_str());
    }

    int status = 0;
    simulator.SetLineLostHandler([&](const std::string& reason) {
        std::fprintf(stderr, "tandrin-sim: %s\n", reason.c_str());
        std::string why;
        auto next = options.portDevice ? nullptr : OpenPtyLine(why);
        if (!next || (options.linkPath && !PlaceSymlink(*options.linkPath, next->Path(), why))) {
            std::fprintf(stderr, "tandrin-sim: cannot serve on: %s\n",
                         why.empty() ? "the line is gone" : why.c_str());
            status = 1;
            loop.Quit();
            return;
        }
        linked = next->Path();
        Announce(options, linked);
        simulator.Attach(std::move(next));
        if (server && !server->AttachLine(linked, why)) {
            std::fprintf(stderr, "tandrin-sim: %s\n", why.c_str());
        }
    });

    loop.Run();
    if (options.linkPath) {
        RemoveSymlink(*options.linkPath, linked);
    }
    std::fprintf(stderr, "tandrin-sim: stopped\n");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    SimCommandLine options;
    std::string error;
    if (!ParseSimCommandLine(args, options, error)) {
        std::fprintf(stderr, "tandrin-sim: %s\nTry 'tandrin-sim --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    return Serve(options);
}
