#include "cli/cli_pages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "cli/cli_option_checks.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "device/degree_text.h"
#include "device/response_codes.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/calibration_page.h"
#include "pages/calibration_page_ids.h"
#include "pages/current_adjust_page.h"
#include "pages/current_adjust_page_ids.h"
#include "pages/fixed_current_guard.h"
#include "pages/info_page.h"
#include "pages/info_page_ids.h"
#include "platform/text_codec.h"
#include "shell/lang_text.h"

namespace tandrin::cli {

const char* const kPageCommandsHelp = R"(
Device page commands (the same checks and sequences as the pages):
  info                  tag, descriptor, message, date, final assembly
                        number and polling address (0, 12, 13; 0, 16)
                        JSON keys: tag, descriptor, message, date
                        (YYYY-MM-DD), final_assembly, poll_address; a
                        transmitter without command 16 gives
                        not_available ["final_assembly"] instead
  set-info [--tag T] [--descriptor D] [--message M] [--date YYYY-MM-DD]
                        reads the information, then writes it with the
                        values given (0, 12, 13; 0, 17, 18); texts are
                        sent in upper case, at most 8, 16 and 32 characters
  set-address N         gives the transmitter polling address N, 0..15 (0, 6)
  set-final-assembly HEX
                        writes the final assembly number, one to six
                        hexadecimal digits (0, 19)
  fix-current MA        forces the loop current to MA, 3.8..20.5 mA (0, 40)
  fix-current exit      leaves fixed-current mode (0, 40 with 0)
  trim ZERO_MA GAIN_MA  trims the output with the currents measured at 4 mA
                        (3..6) and at 20 mA (18..22) (0, 45, 46, 40)
  set-lower-range       makes the present input the lower range value,
                        4 mA (0, 37)
  set-upper-range       makes the present input the upper range value,
                        20 mA (0, 36)
trim, set-lower-range and set-upper-range act without the question the
pages ask first: naming the command is the confirmation. A current forced
by fix-current stays forced after tandrin-cli ends, until fix-current exit;
a fix-current that fails or is stopped (Ctrl+C, SIGTERM, SIGHUP) after the
transmitter answered sends the release (40 with 0) before it ends and says
whether it went through (JSON key released).
JSON keys of the writes: set-info as info without final_assembly and
poll_address (the texts as sent); set-address poll_address;
set-final-assembly final_assembly; fix-current fixed_current_ma; trim
trim_zero_ma, trim_gain_ma; set-lower-range and set-upper-range ok.
)";

namespace {

constexpr std::array<std::string_view, 8> kPageCommands{
    "info",        "set-info", "set-address",     "set-final-assembly",
    "fix-current", "trim",     "set-lower-range", "set-upper-range"};

bool IsDecimal(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, std::chars_format::general);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// A decimal number within the page's bounds (its own, as the page checks).
bool IsDecimalIn(const std::string& text, double low, double high) {
    if (!IsDecimal(text)) {
        return false;
    }
    const double value = std::strtod(text.c_str(), nullptr);
    return value >= low && value <= high;
}

bool IsDigits(const std::string& text, std::size_t most) {
    return !text.empty() && text.size() <= most &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsHex24(const std::string& text) {
    return !text.empty() && text.size() <= 6 && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// HART sends these texts as packed ASCII: upper case, blank to underscore.
bool IsPackable(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        return upper >= 0x20 && upper <= 0x5F;
    });
}

bool IsCalendarDay(const std::string& text) {
    DeviceDate date;
    return ParseDateText(text, date) && IsCalendarDate(date);
}

void AddText(CLI::App& command, const char* name, std::optional<std::string>& text,
             std::size_t most, const char* description) {
    AddOptional(command, name, text, description)
        ->check(Holds(
            [most](const std::string& value) { return value.size() <= most && IsPackable(value); },
            "",
            "at most " + std::to_string(most) +
                " characters: letters, digits, blanks and ASCII punctuation other than ` { | } ~"));
}

bool CheckOperands(const std::string& command, const std::vector<std::string>& operands,
                   std::string& error) {
    const std::size_t count = operands.size();
    if (command == "set-address") {
        if (count == 1 && IsDigits(operands[0], 2) && std::stoi(operands[0]) <= 15) {
            return true;
        }
        error = "set-address takes one polling address, 0..15";
    } else if (command == "set-final-assembly") {
        if (count == 1 && IsHex24(operands[0])) {
            return true;
        }
        error = "set-final-assembly takes one to six hexadecimal digits, such as 00A1F3";
    } else if (command == "fix-current") {
        if (count == 1 && (operands[0] == "exit" || IsDecimalIn(operands[0], 3.7999, 20.5001))) {
            return true;
        }
        error = "fix-current takes a current from 3.8 to 20.5 mA, such as 12.0, or exit";
    } else if (command == "trim") {
        if (count == 2 && IsDecimalIn(operands[0], 3, 6) && IsDecimalIn(operands[1], 18, 22)) {
            return true;
        }
        error = "trim takes the two measured currents, 3..6 mA and 18..22 mA, such as 4.012 19.987";
    } else if (count == 0) {
        return true;
    } else {
        error = command + " takes no operand (" + operands[0] + ")";
    }
    return false;
}

std::string Fixed3(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

using Then = CliSession::Then;

// Runs one page command: the page's logic over in-memory controls.
class PageRunner {
  public:
    explicit PageRunner(CliSession& session);
    ~PageRunner();
    PageRunner(const PageRunner&) = delete;
    PageRunner& operator=(const PageRunner&) = delete;

    int Info();
    int SetInfo();
    int SetAddress();
    int SetFinalAssembly();
    int FixCurrent();
    int Trim();
    int SetLowerRange() { return Calibrate(calibration_ids::kSetLower); }
    int SetUpperRange() { return Calibrate(calibration_ids::kSetUpper); }

  private:
    // Does what a click does and waits for the sequence it started. False
    // when the page refused (its message is printed) or the sequence failed.
    bool Click(const std::function<void()>& click, Then then = Then::kClose);
    int Succeed(const JsonObject& json, const std::string& text);
    std::string Caption(const char* section, const char* key, const char* fallback) const;
    int Calibrate(int button);
    int ReleaseAfterFailure(const std::string& error);

    CliSession& m_session;
    const PageArguments& m_args;
    MemoryForm m_infoForm;
    MemoryForm m_currentForm;
    MemoryForm m_calibrationForm;
    InfoPage m_info{m_infoForm};
    CurrentAdjustPage m_current{m_currentForm};
    CalibrationPage m_calibration{m_calibrationForm};
    int m_status = kExitFailed;  // of the failed click
};

template <std::size_t N>
void AddControls(MemoryForm& form, const std::array<PageControl, N>& controls) {
    for (const PageControl& control : controls) {
        form.Add(control.id);
    }
}

PageRunner::PageRunner(CliSession& session) : m_session(session), m_args(session.Options().page) {
    AddControls(m_infoForm, info_ids::kControls);
    AddControls(m_currentForm, current_ids::kControls);
    AddControls(m_calibrationForm, calibration_ids::kControls);
    m_info.Init();
    m_current.Init();
    // The polling address comes from --address, through the page's box as
    // in the window.
    m_infoForm.SetText(info_ids::kAddressBox, std::to_string(session.Options().address));
    session.Dialog().SetInfoPageForm(&m_infoForm);
    // Naming the command is the confirmation the pages ask for.
    session.Shell().answerYes = true;
}

PageRunner::~PageRunner() {
    m_session.Dialog().SetInfoPageForm(nullptr);
}

std::string PageRunner::Caption(const char* section, const char* key, const char* fallback) const {
    const std::string text = LangText(section, key);
    return text.empty() ? fallback : Utf8(text);
}

int PageRunner::Succeed(const JsonObject& json, const std::string& text) {
    return m_session.Output().Succeed(json, text);
}

bool PageRunner::Click(const std::function<void()>& click, Then then) {
    std::string error;
    if (m_session.RunSequence(click, error, then)) {
        return true;
    }
    m_status = m_session.Output().Fail(error);
    return false;
}

int PageRunner::Info() {
    using namespace info_ids;
    if (!Click([&] { m_info.OnClicked(kReadInfo); }, Then::kKeepOpen)) {
        return m_status;
    }
    // A transmitter without command 16 still told us everything else.
    std::string error;
    const bool finalRead = m_session.RunSequence([&] { m_info.OnClicked(kReadFinal); }, error);
    const ReplyOutcome& outcome = hartMaster.LastOutcome();
    const bool finalMissing = !finalRead && outcome.kind == ReplyKind::kRefused &&
                              outcome.command == 16 && outcome.code == kCodeNotImplemented;
    if (!finalRead && !finalMissing) {
        return m_session.Output().Fail(error);
    }
    const std::string tag = Utf8(m_infoForm.Text(kTag));
    const std::string descriptor = Utf8(m_infoForm.Text(kDescriptor));
    const std::string message = Utf8(m_infoForm.Text(kMessage));
    const std::string date = m_infoForm.Text(kDate);
    std::string final = m_infoForm.Text(kFinalAssembly);
    const int address = hartMaster.m_byPollAddr;
    JsonObject json;
    json.Add("tag", tag).Add("descriptor", descriptor).Add("message", message).Add("date", date);
    if (finalMissing) {
        json.Add("not_available", std::vector<std::string>{"final_assembly"});
        final = Utf8(LangText("strNotAvailable"));
        if (final.empty()) {
            final = "not available (the transmitter does not implement command 16)";
        }
    } else {
        json.Add("final_assembly", final);
    }
    json.Add("poll_address", address);
    const std::string text = Caption("KvView3", "IDC_STA2", "Tag") + ": " + tag + "\n" +
                             Caption("KvView3", "IDC_STA3", "Descriptor") + ": " + descriptor +
                             "\n" + Caption("KvView3", "IDC_STA4", "Message") + ": " + message +
                             "\n" + Caption("KvView3", "IDC_STA1", "Date") + ": " + date + "\n" +
                             Caption("KvView3", "IDC_StaCap3", "Final assembly number") + ": " +
                             final + "\n" + Caption("KvView3", "IDC_STA5", "Polling address") +
                             ": " + std::to_string(address);
    return Succeed(json, text);
}

int PageRunner::SetInfo() {
    using namespace info_ids;
    // What is not given keeps the transmitter's own value.
    if (!Click([&] { m_info.OnClicked(kReadInfo); }, Then::kKeepOpen)) {
        return m_status;
    }
    const bool gbk = chineseUi.load() == 1;
    const std::pair<int, const std::optional<std::string>*> given[] = {
        {kTag, &m_args.tag}, {kDescriptor, &m_args.descriptor}, {kMessage, &m_args.message}};
    for (const auto& [id, value] : given) {
        if (*value) {
            m_infoForm.SetText(id, FromUtf8(**value, gbk));
        }
    }
    if (m_args.date) {
        m_infoForm.SetText(kDate, *m_args.date);
    }
    if (!Click([&] { m_info.OnClicked(kUpdateInfo); })) {
        return m_status;
    }
    // The texts as they went out: upper case.
    const std::string tag = Utf8(hartMaster.m_strTag);
    const std::string descriptor = Utf8(hartMaster.m_strDescriptor);
    const std::string message = Utf8(hartMaster.m_strMessage);
    const std::string date =
        DateText({hartMaster.m_wDateYear, hartMaster.m_byDateMonth, hartMaster.m_byDateDay});
    JsonObject json;
    json.Add("tag", tag).Add("descriptor", descriptor).Add("message", message).Add("date", date);
    return Succeed(json, Utf8(m_session.Shell().status[0]));
}

int PageRunner::SetAddress() {
    using namespace info_ids;
    m_infoForm.SetText(kNewAddress, m_args.operands[0]);
    if (!Click([&] { m_info.OnClicked(kUpdateAddress); })) {
        return m_status;
    }
    const int address = hartMaster.m_byPollAddr;
    return Succeed(
        JsonObject().Add("poll_address", address),
        Caption("KvView3", "IDC_STA5", "Polling address") + ": " + std::to_string(address));
}

int PageRunner::SetFinalAssembly() {
    using namespace info_ids;
    std::string hex = m_args.operands[0];
    std::transform(hex.begin(), hex.end(), hex.begin(),
                   [](char c) { return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 32) : c; });
    hex.insert(0, 6 - hex.size(), '0');  // shown as the page shows it
    m_infoForm.SetText(kFinalAssembly, hex);
    if (!Click([&] { m_info.OnClicked(kUpdateFinal); })) {
        return m_status;
    }
    return Succeed(JsonObject().Add("final_assembly", hex),
                   Caption("KvView3", "IDC_StaCap3", "Final assembly number") + ": " + hex);
}

int PageRunner::FixCurrent() {
    using namespace current_ids;
    const std::string& operand = m_args.operands[0];
    const bool exit = operand == "exit";
    std::string error;
    const bool done = m_session.RunSequence(
        [&] {
            if (exit) {
                m_current.OnClicked(kExit);
                return;
            }
            m_current.OnClicked(kOther);
            m_currentForm.SetText(kOtherEdit, operand);
            m_current.OnOtherCurrentChanged();
            m_current.OnClicked(kSend);
        },
        error);
    if (!done) {
        return ReleaseAfterFailure(error);
    }
    const double current = hartMaster.m_fFixedCurrent;
    return Succeed(JsonObject().Add("fixed_current_ma", current),
                   exit ? std::string("Fixed-current mode left")
                        : "Loop current fixed at " + Fixed3(current) + " mA");
}

// A forcing that failed or was stopped after command 0 was answered may
// have reached the transmitter: the loop is released once before the end,
// and the result says whether that worked.
int PageRunner::ReleaseAfterFailure(const std::string& error) {
    if (!fixedCurrentGuard.Forced()) {
        return m_session.Output().Fail(error);
    }
    std::string releaseError;
    const bool released =
        m_session.RunSequence([&] { m_current.OnClicked(current_ids::kExit); }, releaseError);
    JsonObject json;
    json.Add("released", released);
    if (released) {
        return m_session.Output().Fail(error + "; fixed-current mode left again", json);
    }
    return m_session.Output().Fail(error + "; the loop current may still be fixed (" +
                                       releaseError +
                                       "): release it with tandrin-cli fix-current exit",
                                   json);
}

int PageRunner::Trim() {
    using namespace current_ids;
    m_currentForm.SetText(kFirstReading, m_args.operands[0]);
    m_currentForm.SetText(kSecondReading, m_args.operands[1]);
    if (!Click([&] { m_current.OnClicked(kUpdate); })) {
        return m_status;
    }
    const double zero = hartMaster.m_fTrimZeroCurrent;
    const double gain = hartMaster.m_fTrimGainCurrent;
    return Succeed(JsonObject().Add("trim_zero_ma", zero).Add("trim_gain_ma", gain),
                   "Output trimmed with " + Fixed3(zero) + " mA and " + Fixed3(gain) + " mA");
}

int PageRunner::Calibrate(int button) {
    if (!Click([&] { m_calibration.OnClicked(button); })) {
        return m_status;
    }
    return Succeed(JsonObject().Add("ok", true), Utf8(m_session.Shell().status[0]));
}

}  // namespace

bool IsPageCommand(std::string_view command) {
    return std::find(kPageCommands.begin(), kPageCommands.end(), command) != kPageCommands.end();
}

void AddPageArguments(CLI::App& command, CliOptions& all) {
    auto& page = all.page;
    const std::string name = command.get_name();
    if (name == "set-info") {
        AddText(command, "--tag", page.tag, 8, "the tag, sent in upper case");
        AddText(command, "--descriptor", page.descriptor, 16, "the descriptor");
        AddText(command, "--message", page.message, 32, "the message");
        AddOptional(command, "--date", page.date, "the date")
            ->check(Holds(IsCalendarDay, "", "a day from 1900-01-01 to 2155-12-31 as YYYY-MM-DD"))
            ->type_name("YYYY-MM-DD");
        return;
    }
    // The operands' form is checked whole, with an example, after parsing.
    const std::pair<const char*, const char*> operands[] = {
        {"set-address", "the new polling address, 0..15"},
        {"set-final-assembly", "one to six hexadecimal digits"},
        {"fix-current", "the current in mA, 3.8..20.5, or exit"},
        {"trim", "the currents measured at 4 mA (3..6) and at 20 mA (18..22)"},
    };
    for (const auto& [command_name, description] : operands) {
        if (name == command_name) {
            command.add_option(name == "trim" ? "CURRENTS" : "VALUE", page.operands, description);
        }
    }
}

bool CheckPageArguments(const std::string& command, const PageArguments& page, std::string& error) {
    if (!IsPageCommand(command)) {
        return true;
    }
    if (command == "set-info" && !(page.tag || page.descriptor || page.message || page.date)) {
        error = "set-info needs at least one of --tag, --descriptor, --message, --date";
        return false;
    }
    return CheckOperands(command, page.operands, error);
}

int RunInfo(CliSession& session) {
    return PageRunner(session).Info();
}
int RunSetInfo(CliSession& session) {
    return PageRunner(session).SetInfo();
}
int RunSetAddress(CliSession& session) {
    return PageRunner(session).SetAddress();
}
int RunSetFinalAssembly(CliSession& session) {
    return PageRunner(session).SetFinalAssembly();
}
int RunFixCurrent(CliSession& session) {
    return PageRunner(session).FixCurrent();
}
int RunTrim(CliSession& session) {
    return PageRunner(session).Trim();
}
int RunSetLowerRange(CliSession& session) {
    return PageRunner(session).SetLowerRange();
}
int RunSetUpperRange(CliSession& session) {
    return PageRunner(session).SetUpperRange();
}

}  // namespace tandrin::cli
