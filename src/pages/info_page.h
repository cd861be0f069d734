#pragma once

#include <cstdint>
#include <string>

#include "shell/form.h"
#include "shell/main_dialog.h"

namespace tandrin {

// A calendar date as the transmitter holds it. The picker exchanges it as
// text "YYYY-MM-DD"; a date the transmitter holds that is no calendar day
// (month 0 of a transmitter never dated) keeps its digits that way.
struct DeviceDate {
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
};
std::string DateText(const DeviceDate& date);
// False unless the text is "YYYY-MM-DD" with a year the wire can carry
// (1900..2155) and month and day of one byte each.
bool ParseDateText(const std::string& text, DeviceDate& date);
// A real calendar day of 1900..2155.
bool IsCalendarDate(const DeviceDate& date);
// One to six hexadecimal digits and nothing else: a final assembly number.
bool IsFinalAssemblyText(const std::string& text);

// The device information page (layout 135, texts in section "KvView3"):
// date, tag, descriptor and message; the polling address in use (box 1025,
// which the connection workflow shares) and a new one; the final assembly
// number.
class InfoPage : public DevicePage {
  public:
    explicit InfoPage(Form& form) : m_form(form) {}

    // Today's date in the picker, "0" in the short-address box.
    void Init();
    void Translate() override;

    void OnClicked(int id);
    // The user typed in box 1025 or picked one of its entries.
    void OnAddressBoxChanged();

    void ShowReadBack() override {
        ShowResult(13);
        ShowResult(16);
    }

  private:
    // `text` as a transmitter stores it in a field of `chars` characters.
    static std::string StoredText(const std::string& text, std::size_t chars, bool gbk);
    void ReadInfo();
    void UpdateInfo();
    void UpdateAddress();
    void UpdateFinalAssembly();
    void ShowResult(std::uint8_t command);
    static void StepDone(void* user, std::int32_t success, std::uint8_t command);

    Form& m_form;
};

}  // namespace tandrin
