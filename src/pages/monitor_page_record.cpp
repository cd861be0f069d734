// The monitor page's record files: the dialogs, saving, loading and the
// question before unsaved samples go.
#include "device/degree_text.h"
#include "link/command_flags.h"
#include "pages/monitor_page.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

const char* const kCaption = "HART";
const char* const kExtension = "tdd";
// "tdd 文件(*.tdd)" in GBK; a Western code page cannot hold "文件".
const char* const kSaveFilterChinese = "tdd \xCE\xC4\xBC\xFE(*.tdd)";
const char* const kOpenFilter = "tdd Files(*.tdd)";

}  // namespace

TrendRecord MonitorPage::Record() const {
    TrendRecord record;
    record.m_PVMin = m_PVMin;
    record.m_PVMax = m_PVMax;
    record.m_PVUnit = m_PVUnit;
    record.pv = m_PVSamples;
    record.current = m_CurrentSamples;
    record.percent = m_PercentSamples;
    return record;
}

bool MonitorPage::AskDiscard() {
    return m_shell.AskYesNo(LangText("strDiscardSamples"), kCaption);
}

bool MonitorPage::MayDiscard() {
    return !HasUnsavedSamples() || AskDiscard();
}

// Records need no port, only a free line: a running recording is not
// saved or replaced under its own feet.
static bool LineIsFree(ShellServices& shell) {
    if (busyFlag != 0) {
        shell.MessageBox(LangText("strBusy"), kCaption, MessageIcon::kInformation);
        return false;
    }
    return true;
}

void MonitorPage::SaveRecord() {
    if (!LineIsFree(m_shell)) {
        return;
    }
    const std::string path = m_shell.SaveFileDialogTitled(
        "Save Picture File", chineseUi.load() == 1 ? kSaveFilterChinese : kOpenFilter, "Data1",
        kExtension);
    if (!path.empty()) {
        SaveRecordFile(path);
    }
}

bool MonitorPage::SaveRecordFile(const std::string& path) {
    if (SaveTrendRecord(path, Record()) != RecordIo::kOk) {
        m_shell.MessageBox(path + "can't create!", kCaption, MessageIcon::kError);
        return false;
    }
    m_bUnsaved = false;
    return true;
}

void MonitorPage::OpenRecord() {
    if (!LineIsFree(m_shell)) {
        return;
    }
    const std::string path = m_shell.OpenFileDialog(kOpenFilter);
    if (path.empty() || !MayDiscard()) {
        return;
    }
    LoadRecordFile(path);
}

bool MonitorPage::LoadRecordFile(const std::string& path) {
    TrendRecord record;
    switch (LoadTrendRecord(path, record)) {
        case RecordIo::kCannotOpen:
            m_shell.MessageBox(path + "can't Open!", kCaption, MessageIcon::kError);
            return false;
        case RecordIo::kBadFile:
            m_shell.MessageBox(LangText("strFileError"), kCaption, MessageIcon::kWarning);
            return false;
        case RecordIo::kOk:
            break;
    }
    ApplyRecord(std::move(record));
    return true;
}

void MonitorPage::ApplyRecord(TrendRecord&& record) {
    CancelRefill();
    m_PVMin = record.m_PVMin;
    m_PVMax = record.m_PVMax;
    m_PVUnit = std::move(record.m_PVUnit);
    m_PVSamples = std::move(record.pv);
    m_CurrentSamples = std::move(record.current);
    m_PercentSamples = std::move(record.percent);
    m_bUnsaved = false;
    if (!m_ListVisible) {
        m_ListVisible = true;
        LayoutPage();
        UpdateHistoryCheck();
    }
    StartRefill(true);
    m_views.pvChart.SetRangeAndUnit(m_PVMin, m_PVMax, m_PVUnit);
    const Quantity all[] = {Quantity::kPv, Quantity::kCurrent, Quantity::kPercent};
    for (const Quantity quantity : all) {
        ChartOf(quantity).SetSamples(&Samples(quantity), true);
        ChartOf(quantity).SetFollowLatest(false);
    }
}

}  // namespace tandrin
