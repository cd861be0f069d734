#include "pages/info_page.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "device/degree_text.h"
#include "device/encodings.h"
#include "link/hart_master.h"
#include "pages/info_page_ids.h"
#include "pages/page_sequence.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/leading_number.h"

namespace tandrin {

namespace {

using namespace info_ids;

constexpr unsigned kFirstYear = 1900;
constexpr unsigned kLastYear = 1900 + 255;
constexpr unsigned kHighestPollAddress = 15;

bool ReadNumber(const std::string& text, std::size_t from, std::size_t digits, unsigned& value) {
    value = 0;
    for (std::size_t i = from; i < from + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return true;
}

DeviceDate Today() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    const std::chrono::year_month_day date{today};
    return {static_cast<unsigned>(static_cast<int>(date.year())),
            static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())};
}

}  // namespace

std::string DateText(const DeviceDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", date.year, date.month, date.day);
    return text;
}

bool ParseDateText(const std::string& text, DeviceDate& date) {
    DeviceDate read;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !ReadNumber(text, 0, 4, read.year) || !ReadNumber(text, 5, 2, read.month) ||
        !ReadNumber(text, 8, 2, read.day) || read.year < kFirstYear || read.year > kLastYear) {
        return false;
    }
    date = read;
    return true;
}

bool IsCalendarDate(const DeviceDate& date) {
    const std::chrono::year_month_day day{std::chrono::year(static_cast<int>(date.year)),
                                          std::chrono::month(date.month),
                                          std::chrono::day(date.day)};
    return day.ok() && date.year >= kFirstYear && date.year <= kLastYear;
}

bool IsFinalAssemblyText(const std::string& text) {
    return !text.empty() && text.size() <= 6 && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}

void InfoPage::Init() {
    m_form.SetText(kDate, DateText(Today()));
    m_form.SetText(kAddressBox, "0");
}

void InfoPage::Translate() {
    const std::pair<int, const char*> keys[] = {
        {kInfoGroup, "IDC_StaCap1"}, {kAddressGroup, "IDC_StaCap2"}, {kFinalGroup, "IDC_StaCap3"},
        {kDateLabel, "IDC_STA1"},    {kTagLabel, "IDC_STA2"},        {kDescriptorLabel, "IDC_STA3"},
        {kMessageLabel, "IDC_STA4"}, {kAddressLabel, "IDC_STA5"},    {kNewAddressLabel, "IDC_STA6"},
    };
    for (const auto& [id, key] : keys) {
        TranslateControl(m_form, id, key, "KvView3");
    }
    const std::pair<int, const char*> buttons[] = {
        {kReadInfo, "IDC_cmdRead2"},       {kUpdateInfo, "IDC_cmdWrite2"},
        {kReadFinal, "IDC_cmdRead2"},      {kUpdateFinal, "IDC_cmdWrite2"},
        {kUpdateAddress, "IDC_cmdWrite2"},
    };
    for (const auto& [id, key] : buttons) {
        TranslateControl(m_form, id, key, "KvView2");
    }
}

void InfoPage::OnClicked(int id) {
    switch (id) {
        case kReadInfo:
            ReadInfo();
            break;
        case kUpdateInfo:
            UpdateInfo();
            break;
        case kUpdateAddress:
            UpdateAddress();
            break;
        case kReadFinal:
            if (CheckLinkReady() != 0) {
                RunPageSequence(this, &InfoPage::StepDone, {0, 16});
            }
            break;
        case kUpdateFinal:
            UpdateFinalAssembly();
            break;
        default:
            break;
    }
}

void InfoPage::OnAddressBoxChanged() {
    hartMaster.m_byPollAddr = static_cast<std::uint8_t>(LeadingByte(m_form.Text(kAddressBox)));
}

std::string InfoPage::StoredText(const std::string& text, std::size_t chars, bool gbk) {
    std::string upper = text;
    UpperCaseAscii(upper, gbk);
    std::vector<std::uint8_t> bytes(PackedSize(chars));
    PackText(upper, chars, gbk, bytes.data());
    return UnpackText(bytes.data(), chars);
}

void InfoPage::ReadInfo() {
    if (CheckLinkReady() != 0) {
        RunPageSequence(this, &InfoPage::StepDone, {0, 12, 13});
    }
}

void InfoPage::UpdateInfo() {
    // What the transmitter cannot store (lower case, characters outside
    // packed ASCII, more than fits) is shown as it will be stored, and
    // the user says whether to write it so.
    bool changed = false;
    const bool gbk = chineseUi.load() == 1;
    for (const auto& [id, chars] :
         {std::pair{kTag, 8}, std::pair{kDescriptor, 16}, std::pair{kMessage, 32}}) {
        const std::string typed = m_form.Text(id);
        const std::string stored = StoredText(typed, static_cast<std::size_t>(chars), gbk);
        if (stored != typed.substr(0, typed.find_last_not_of(' ') + 1)) {
            m_form.SetText(id, stored);
            changed = true;
        }
    }
    if (changed && !mainWindow->Shell().AskYesNo(LangText("strStoredAs"), "HART")) {
        return;
    }
    // Into the device model before the link check: a refused update still
    // leaves what was typed there.
    DeviceDate date;
    if (ParseDateText(m_form.Text(kDate), date)) {
        hartMaster.m_wDateYear = static_cast<std::uint16_t>(date.year);
        hartMaster.m_byDateMonth = static_cast<std::uint8_t>(date.month);
        hartMaster.m_byDateDay = static_cast<std::uint8_t>(date.day);
    }
    hartMaster.m_strTag = m_form.Text(kTag);
    hartMaster.m_strDescriptor = m_form.Text(kDescriptor);
    hartMaster.m_strMessage = m_form.Text(kMessage);
    if (CheckLinkReady() != 0) {
        RunPageSequence(this, &InfoPage::StepDone, {0, 17, 18});
    }
}

void InfoPage::UpdateAddress() {
    // Only a plain number: "-1", "x" or nothing would otherwise go out as 0.
    std::string text = m_form.Text(kNewAddress);
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    const bool number = !text.empty() && text.size() <= 3 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    const unsigned address = number ? LeadingByte(text) : kHighestPollAddress + 1;
    if (address > kHighestPollAddress) {
        mainWindow->Shell().MessageBox(LangText("strNOErr"), "HART", MessageIcon::kWarning);
        return;
    }
    hartMaster.m_byNewPollAddr = static_cast<std::uint8_t>(address);
    if (CheckLinkReady() != 0) {
        RunPageSequence(this, &InfoPage::StepDone, {0, 6});
    }
}

void InfoPage::UpdateFinalAssembly() {
    if (CheckLinkReady() == 0) {
        return;
    }
    // The request takes the hexadecimal digits up to the first other
    // character, so "12G456" would go out as 000012 and be reported done.
    const std::string text = m_form.Text(kFinalAssembly);
    if (!IsFinalAssemblyText(text)) {
        mainWindow->Shell().MessageBox(LangText("strFinalAssemblyErr"), "HART",
                                       MessageIcon::kWarning);
        m_form.SetFocus(kFinalAssembly);
        return;
    }
    hartMaster.m_strFinalAssembly = text;
    RunPageSequence(this, &InfoPage::StepDone, {0, 19});
}

void InfoPage::ShowResult(std::uint8_t command) {
    switch (command) {
        case 13:
            m_form.SetText(kDate, DateText({hartMaster.m_wDateYear, hartMaster.m_byDateMonth,
                                            hartMaster.m_byDateDay}));
            m_form.SetText(kTag, hartMaster.m_strTag);
            m_form.SetText(kDescriptor, hartMaster.m_strDescriptor);
            m_form.SetText(kMessage, hartMaster.m_strMessage);
            break;
        case 6:
            // The transmitter answers at its new address from now on.
            m_form.SetText(kAddressBox, std::to_string(hartMaster.m_byNewPollAddr));
            hartMaster.m_byPollAddr = hartMaster.m_byNewPollAddr;
            break;
        case 16:
            m_form.SetText(kFinalAssembly, hartMaster.m_strFinalAssembly);
            break;
        default:
            break;
    }
}

void InfoPage::StepDone(void* user, std::int32_t success, std::uint8_t command) {
    if (AdvancePageSequence(user, &InfoPage::StepDone, success) == SequenceStep::kThrough) {
        static_cast<InfoPage*>(user)->ShowResult(command);
        ReportDone();
    }
}

}  // namespace tandrin
