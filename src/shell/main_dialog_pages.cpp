// The main window's pages and toolbar: page buttons and their colours, page
// switching, the monitor tools, the sampling period and command routing.
#include "controls/image_button_model.h"
#include "shell/about_box.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/main_toolbar.h"
#include "shell/trace_log.h"

namespace tandrin {

namespace {

using namespace main_ids;

constexpr Rgb kButtonGrey{212, 212, 212};
constexpr Rgb kButtonGreen{178, 223, 192};

constexpr std::array<int, MainDialog::kPageCount> kButtonOfIndex{
    kPageSetup, kPageInfo, kPageCalibration, kPageMonitor, kPageCurrentAdjust};

constexpr std::array<MainDialog::PageSlot, MainDialog::kPageCount> kSlotOfIndex{
    MainDialog::kSetupPage, MainDialog::kInfoPage, MainDialog::kCalibrationPage,
    MainDialog::kMonitorPage, MainDialog::kCurrentAdjustPage};

bool ValidIndex(int index) {
    return index >= 0 && index < MainDialog::kPageCount;
}

}  // namespace

int MainDialog::PageIndexOfButton(int buttonId) {
    for (int index = 0; index < kPageCount; ++index) {
        if (kButtonOfIndex[static_cast<std::size_t>(index)] == buttonId) {
            return index;
        }
    }
    return -1;
}

int MainDialog::PageButtonOfIndex(int index) {
    return ValidIndex(index) ? kButtonOfIndex[static_cast<std::size_t>(index)] : 0;
}

MainDialog::PageSlot MainDialog::SlotOfIndex(int index) {
    return ValidIndex(index) ? kSlotOfIndex[static_cast<std::size_t>(index)] : kSetupPage;
}

void MainDialog::SetPageButton(int index, ImageButtonModel* button) {
    if (ValidIndex(index)) {
        m_pageButtons[static_cast<std::size_t>(index)] = button;
    }
}

void MainDialog::InitPageButtonColours() {
    for (ImageButtonModel* button : m_pageButtons) {
        if (button == nullptr) {
            continue;
        }
        button->SetColor(ImageButtonModel::kBackPressed, kButtonGrey, true);
        button->SetColor(ImageButtonModel::kBackIdle, kButtonGrey, true);
        button->SetColor(ImageButtonModel::kBackFocused, kButtonGreen, true);
        button->SetColor(ImageButtonModel::kTextPressed, kBlack, true);
        button->SetColor(ImageButtonModel::kTextIdle, kBlack, true);
        button->SetColor(ImageButtonModel::kTextFocused, kBlack, true);
    }
}

void MainDialog::HighlightPageButton(int index) {
    for (ImageButtonModel* button : m_pageButtons) {
        if (button != nullptr) {
            button->SetColor(ImageButtonModel::kBackIdle, kButtonGrey, true);
        }
    }
    if (ValidIndex(index) && m_pageButtons[static_cast<std::size_t>(index)] != nullptr) {
        m_pageButtons[static_cast<std::size_t>(index)]->SetColor(ImageButtonModel::kBackIdle,
                                                                 kButtonGreen, true);
    }
}

void MainDialog::ShowFirstPage() {
    m_nVisiblePage = kSetupIndex;
    for (int index = 0; index < kPageCount; ++index) {
        if (DevicePage* page = m_pages[SlotOfIndex(index)]) {
            page->Show(index == kSetupIndex);
        }
    }
}

void MainDialog::ShowPage(int index) {
    if (!ValidIndex(index)) {
        return;
    }
    if (DevicePage* leaving = m_pages[SlotOfIndex(m_nVisiblePage)];
        index != m_nVisiblePage && leaving != nullptr && !leaving->MayDiscard()) {
        return;
    }
    HighlightPageButton(index);
    StopSequence();
    if (index != m_nVisiblePage) {
        if (DevicePage* leaving = m_pages[SlotOfIndex(m_nVisiblePage)]) {
            leaving->Leave();
        }
    }
    // Show the new page before hiding the old one, so the area is never
    // empty in between.
    if (DevicePage* page = m_pages[SlotOfIndex(index)]) {
        page->Show(true);
    }
    for (int other = 0; other < kPageCount; ++other) {
        DevicePage* page = m_pages[SlotOfIndex(other)];
        if (other != index && page != nullptr) {
            page->Show(false);
        }
    }
    m_nVisiblePage = index;
    ShowMonitorTools(index == kMonitorIndex);
}

bool MainDialog::MayClose() {
    for (DevicePage* page : m_pages) {
        if (page != nullptr && !page->MayDiscard()) {
            return false;
        }
    }
    return true;
}

void MainDialog::ShowMonitorTools(bool show) {
    for (const ToolbarPosition& position : kToolbar) {
        if (!IsMonitorTool(position.command)) {
            continue;
        }
        if (show) {
            m_form.SetEnabled(position.command, true);
        }
        m_form.SetVisible(position.command, show);
    }
    m_form.SetVisible(kPeriodBox, show);
    m_bMonitorTools = show;
}

void MainDialog::InitPeriodBox() {
    m_form.ClearEntries(kPeriodBox);
    for (const PeriodEntry& entry : kPeriods) {
        m_form.AddEntry(kPeriodBox, entry.text);
    }
    m_form.SetSelection(kPeriodBox, 0);
    OnPeriodChange();
}

void MainDialog::OnPeriodChange() {
    m_nPeriod = PeriodOfSelection(m_form.Selection(kPeriodBox));
    if (DevicePage* monitor = m_pages[kMonitorPage]) {
        monitor->SetSamplingPeriod(m_nPeriod);
    }
}

MainDialog::CommandResult MainDialog::OnCommand(int id) {
    if (const int page = PageIndexOfButton(id); page >= 0) {
        ShowPage(page);
        return CommandResult::kDone;
    }
    if (IsMonitorTool(id)) {
        // Handled whether or not the monitor page did anything with it.
        if (DevicePage* monitor = m_pages[kMonitorPage]) {
            monitor->OnCommand(id);
        }
        return CommandResult::kDone;
    }
    if (id >= kPortFirst && id <= kPortLast) {
        OnPortCommand(id);
        return CommandResult::kDone;
    }
    if (id >= kLanguageFirst && id <= kLanguageLast) {
        OnLanguageCommand(id);
        return CommandResult::kLanguageChanged;
    }
    switch (id) {
        case kFileExit:
            return CommandResult::kClose;
        case kHelpAbout:
            return CommandResult::kAbout;
        case kLoopCheck:
            return CommandResult::kLoopCheck;
        case kDeviceStatus:
            return CommandResult::kDeviceStatus;
        case kOnLine:
            OnLine();
            return CommandResult::kDone;
        case kSearch:
            Search();
            return CommandResult::kDone;
        case kReset:
            Reset();
            return CommandResult::kDone;
        case kStop:
            StopSequence();
            return CommandResult::kDone;
        case kPortHartIp:
            ChooseHartIpServer();
            return CommandResult::kDone;
        case kProductInfo:
            ProductInformation();
            return CommandResult::kDone;
        case kGetButton:
            ReadValues();
            return CommandResult::kDone;
        case kContact:
            OpenContactAddress(m_shell);
            return CommandResult::kDone;
        case kHelpTraceFolder:
            OpenTraceFolder(m_shell);
            return CommandResult::kDone;
        default:
            return CommandResult::kNotMine;
    }
}

}  // namespace tandrin
