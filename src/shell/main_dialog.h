#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/form.h"
#include "shell/menu_bar.h"
#include "shell/shell_services.h"

namespace tandrin {

class ImageButtonModel;

// What the main window asks of each device page.
class DevicePage {
  public:
    virtual ~DevicePage() = default;
    virtual void Translate() {}
    virtual void RefreshDegreeTexts() {}
    virtual void Show(bool /*visible*/) {}
    // Another page is about to be shown instead of this one; a running
    // sequence has been stopped.
    virtual void Leave() {}
    // The monitor page: the toolbar's commands 31000..31006 and the
    // sampling period chosen in box 501.
    virtual bool OnCommand(int /*id*/) { return false; }
    virtual void SetSamplingPeriod(int /*seconds*/) {}
    // Asked before the page is left or the program ends; false keeps the
    // page as it is (the user chose to keep what it holds).
    virtual bool MayDiscard() { return true; }
    // The port went away; any sequence has been stopped. A page that runs
    // on by itself (the monitor's recording) ends here, since no
    // completion will come.
    virtual void LinkLost() {}
    // The device model holds what was just read back from the transmitter
    // (after a restore): a page showing those values shows them again.
    virtual void ShowReadBack() {}
};

// The main window's logic, written against its controls (a Form), its menu
// bar and the shell services. The Qt layer, the command line and the tests
// each provide those three.
class MainDialog {
  public:
    // Order in which RetranslateAll visits the pages.
    enum PageSlot { kCurrentAdjustPage, kSetupPage, kInfoPage, kMonitorPage, kCalibrationPage };

    MainDialog(Form& form, MenuBar& menu, ShellServices& shell);

    Form& Controls() { return m_form; }
    MenuBar& Menu() { return m_menu; }
    ShellServices& Shell() { return m_shell; }
    void SetPage(PageSlot slot, DevicePage* page) { m_pages[slot] = page; }
    // Every page's ShowReadBack.
    void ShowReadBackOnPages() {
        for (DevicePage* page : m_pages) {
            if (page != nullptr) {
                page->ShowReadBack();
            }
        }
    }
    // The form holding the device information page's short-address box.
    void SetInfoPageForm(Form* form) { m_pInfoForm = form; }
    Form& InfoPageForm() { return m_pInfoForm != nullptr ? *m_pInfoForm : m_form; }

    // Status bar and progress bar
    void SetStatusText(int pane, const std::string& text);
    // Shows the device status of the last reply (the second status byte).
    void ShowDeviceStatus(std::uint8_t status);
    // A sequence is over (done or failed): runs `afterSequence` soon, from
    // the event loop, never inside the completion that ended it.
    void SequenceOver();
    std::function<void()> afterSequence;
    void ShowProgress(bool full);

    // Languages
    void InitLanguages();
    void SelectLanguage(const std::string& name);
    void OnLanguageCommand(int id);
    void RetranslateAll();
    void TranslateMainWindow();
    void TranslateMenuItem(int id, const std::string& key);
    // Tooltip of a tool, cut to the 79 bytes the toolbar holds; empty: none.
    std::string ToolTipText(int id) const;

    // Connection workflow
    // `preferredPort` (given on the command line) becomes current whether
    // the probe opened it or not, and is not stored.
    void InitPorts(const std::vector<std::string>& extraCandidates = {},
                   const std::string& preferredPort = {});
    void OnPortCommand(int id);
    // Asks for a HART-IP server and makes it the port, stored.
    void ChooseHartIpServer();
    void SelectPort(const std::string& name);
    void OnLine();
    void Search();
    void Reset();
    void ProductInformation();
    void ReadValues();
    void StopSequence();
    // The port went away: the sequence is stopped and every page told.
    void LinkLost();
    void ShowValue(long lParam);
    static void MainStepDone(void* user, std::int32_t success, std::uint8_t command);
    int SearchStep(int answered);

    // Pages, by page index: 0 setup (button 1030), 1 device information
    // (1031), 2 range calibration (1032), 3 monitor (1033), 4 current
    // adjustment (1029).
    enum PageIndex { kSetupIndex, kInfoIndex, kCalibrationIndex, kMonitorIndex, kCurrentIndex };
    static constexpr int kPageCount = 5;
    static int PageIndexOfButton(int buttonId);  // -1 for any other identifier
    static int PageButtonOfIndex(int index);     // 0 for any other index
    static PageSlot SlotOfIndex(int index);
    void SetPageButton(int index, ImageButtonModel* button);
    // The colours of the colour table on all five page buttons.
    void InitPageButtonColours();
    void HighlightPageButton(int index);
    // The setup page shown, the others hidden, nothing highlighted.
    void ShowFirstPage();
    // A page button: highlight, stop, show that page alone, monitor tools.
    void ShowPage(int index);
    // Every page agrees to let the program end.
    bool MayClose();
    int VisiblePage() const { return m_nVisiblePage; }
    // Toolbar positions 7..13 and the sampling-period box (controls of the
    // form under the commands' identifiers and 501).
    void ShowMonitorTools(bool show);
    bool MonitorToolsShown() const { return m_bMonitorTools; }
    // Fills box 501 with the nine periods and selects "2   sec".
    void InitPeriodBox();
    // Hands the period of box 501's selection to the monitor page.
    void OnPeriodChange();
    int SamplingPeriod() const { return m_nPeriod; }

    // What a command leaves to the window after the logic has run.
    enum class CommandResult {
        kNotMine,
        kDone,
        kLanguageChanged,
        kClose,
        kAbout,
        kLoopCheck,     // the front end opens its loop check window
        kDeviceStatus,  // and its device status window
    };
    // Every menu, toolbar and page-button command goes through here.
    CommandResult OnCommand(int id);

    std::vector<std::string> portList;
    std::string currentPort;
    std::vector<std::string> languageNames;
    std::vector<std::string> languageFiles;
    // Why a language file found was not read (a FIFO, too large, ...).
    std::vector<std::string> languageProblems;
    std::string currentLanguage;
    int mainMode = 0;

    // How the last sequence ended, for front ends that wait on it.
    enum class Outcome { kNone, kDone, kFailed };
    Outcome lastOutcome = Outcome::kNone;

  private:
    void StartSequence(std::initializer_list<std::uint8_t> commands, int mode);
    void KeepPort(const std::string& name);
    void OnStepDone(std::int32_t success, std::uint8_t command);
    Form& InfoForm() { return InfoPageForm(); }
    void ShowPv();
    void ShowCurrentAndPercent();

    Form& m_form;
    MenuBar& m_menu;
    ShellServices& m_shell;
    Form* m_pInfoForm = nullptr;
    std::array<DevicePage*, 5> m_pages{};
    std::array<ImageButtonModel*, kPageCount> m_pageButtons{};
    int m_nVisiblePage = kSetupIndex;
    bool m_bMonitorTools = false;
    int m_nPeriod = 2;
};

// Set at the end of the main window's initialisation; the command issue
// helpers report through it.
extern MainDialog* mainWindow;

}  // namespace tandrin
