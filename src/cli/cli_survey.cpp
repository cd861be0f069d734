#include "cli/cli_survey.h"

#include <cmath>
#include <cstdio>

#include "cli/cli_option_checks.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/terminal_text.h"
#include "device/encodings.h"
#include "device/response_codes.h"
#include "link/hart_master.h"
#include "pages/decimal_text.h"
#include "platform/stop_signals.h"
#include "procedures/loop_check_points.h"
#include "procedures/survey.h"
#include "shell/lang_text.h"

namespace tandrin::cli {

const char* const kSurveyHelp = R"(
Survey (every transmitter on the line):
  survey [OPTIONS]      (its options: tandrin-cli survey --help)
                        command 0 at each address (a list or ranges), then
                        of each that answers 13, 1 and 2: one line per
                        device as it answers. --tries: how often an empty
                        address is asked (1..6, default 6). --refresh:
                        re-read PV, current and status every S seconds
                        (0.1..3600) until Ctrl+C or N rounds; a device that
                        stops answering is marked "no answer".
                        Exit status: 0 at least one device answered, 1 none.
                        JSON: devices (address, long_address, manufacturer,
                        device_type, tag, descriptor, pv, unit, current_ma,
                        percent, device_status, status_text, answering).
)";

namespace {

bool Stopped() {
    return StopSignals::Caught() != 0;
}

std::string Hex2(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string StatusWords(std::uint8_t status) {
    const DeviceStatusBit* bit = MostSeriousStatus(status);
    return bit == nullptr ? std::string("OK") : Utf8(LangText(bit->key));
}

std::string Number(double value, int decimals) {
    return FixedText(value, decimals);
}

std::string Line(const SurveyDevice& d) {
    std::string line = std::to_string(d.address) + "  " +
                       BytesToHex(d.longAddress.data(), d.longAddress.size()) + "  " +
                       Printable(Utf8(d.tag)) + "  ";
    if (!d.answering) {
        return line + "no answer";
    }
    if (d.valuesRead) {
        line += Number(d.pv, 3) + " " + Utf8(d.unit) + "  " + Number(d.currentMa, 3) + " mA  " +
                Number(d.percent, 2) + " %  ";
    }
    return line + StatusWords(d.deviceStatus);
}

JsonObject DeviceJson(const SurveyDevice& d) {
    JsonObject bits;
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        bits.Add(bit.name, (d.deviceStatus & bit.mask) != 0);
    }
    JsonObject json;
    json.Add("address", d.address)
        .Add("long_address", BytesToHex(d.longAddress.data(), d.longAddress.size()))
        .Add("manufacturer", Hex2(d.manufacturer))
        .Add("device_type", Hex2(d.deviceType))
        .Add("tag", Utf8(d.tag))
        .Add("descriptor", Utf8(d.descriptor));
    if (d.valuesRead) {
        json.Add("pv", d.pv)
            .Add("unit", Utf8(d.unit))
            .Add("current_ma", d.currentMa)
            .Add("percent", d.percent);
    }
    return json.Add("device_status", bits)
        .Add("status_text", StatusWords(d.deviceStatus))
        .Add("answering", d.answering);
}

}  // namespace

void AddSurveyOptions(CLI::App& command, CliOptions& all) {
    SurveyOptions& options = all.survey;
    command
        .add_option_function<std::string>(
            "--addresses",
            [&options](const std::string& value) {
                ParseSurveyAddresses(value, options.addresses);
            },
            "polling addresses and ranges (default 0-15)")
        ->check(Holds(
            [](const std::string& value) {
                std::vector<int> addresses;
                return ParseSurveyAddresses(value, addresses);
            },
            "", "polling addresses 0..15 and ranges, such as 0-3,5"))
        ->type_name("LIST");
    command.add_option("--tries", options.tries, "tries of an empty address (default 6)")
        ->check(WholeIn(1, 6, "a whole number from 1 to 6"));
    command
        .add_option_function<std::string>(
            "--refresh",
            [&options](const std::string& value) { options.refreshSeconds = *ParseDecimal(value); },
            "re-read the values every SECONDS until Ctrl+C")
        ->check(Holds(
            [](const std::string& value) {
                const auto number = ParseDecimal(value);
                return number && *number >= 0.1 && *number <= 3600;
            },
            "", "seconds from 0.1 to 3600"))
        ->type_name("SECONDS");
    command.add_option("--rounds", options.rounds, "stop after N refresh rounds")
        ->check(WholeIn(1, 1000000, "a whole number from 1"));
}

int RunSurvey(CliSession& session) {
    const SurveyOptions& options = session.Options().survey;
    const bool json = session.Output().Json();
    Survey survey(session.Loop());
    int rounds = 0;
    survey.SetOnRow([&](std::size_t row) {
        const bool refreshing = survey.CurrentState() != Survey::State::kSearching;
        if (refreshing && row + 1 == survey.Devices().size()) {
            ++rounds;
        }
        if (!json) {
            session.Output().Out() << Line(survey.Devices()[row]) << "\n" << std::flush;
        }
    });
    const auto refreshMs = static_cast<std::uint32_t>(std::lround(options.refreshSeconds * 1000));
    if (!survey.Start(options.addresses, options.tries, refreshMs)) {
        return session.Output().Fail(session.LastMessage().empty() ? Utf8(LangText("strOpFail"))
                                                                   : Utf8(session.LastMessage()));
    }
    const auto over = [&] {
        return !survey.Running() || Stopped() || (options.rounds > 0 && rounds >= options.rounds);
    };
    while (!session.Loop().RunUntil(over, 60'000)) {
    }
    survey.Stop();
    hartMaster.CloseLink();
    const std::vector<SurveyDevice>& devices = survey.Devices();
    std::vector<JsonObject> list;
    for (const SurveyDevice& device : devices) {
        list.push_back(DeviceJson(device));
    }
    JsonObject result;
    result.Add("devices", list);
    if (devices.empty()) {
        return session.Output().Fail(Utf8(LangText("strNoMeter")), result);
    }
    if (!json) {
        return session.Output().Done();
    }
    return session.Output().Succeed(result, "");
}

}  // namespace tandrin::cli
