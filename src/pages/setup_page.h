#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device/sensor_types.h"
#include "shell/form.h"
#include "shell/main_dialog.h"

namespace tandrin {

// The setup page's logic (layout 131, texts in section "KvView2"): sensor
// configuration, output range and unit, display, alarm and damping, read
// from and written to the transmitter. Written against its controls as a
// Form; messages and status go through the main window (`mainWindow`).
// The Qt page and the command line drive it through the On... calls, which
// are what the user's choices do.
class SetupPage : public DevicePage {
  public:
    explicit SetupPage(Form& form) : m_form(form) {}

    // The controls' first state, in the page's initialisation order.
    void Init();

    void Translate() override;
    // The unit list again, in the interface's Celsius text.
    void RefreshDegreeTexts() override;

    // The user's choices
    void OnSingleSensor();
    void OnDoubleSensor();
    void OnWorkMode(int mode);  // 0 backup .. 3 independent
    void OnSensor1Type();
    void OnSensor2Type();
    void OnOutputSensor();
    // The hidden "PV" / "I" radios of sensor 1 or 2.
    void OnOffsetRadio(int sensor, bool pv);
    // The unit list's selection changed (the box shows the new text).
    void OnUnitChosen();
    // The user typed into the unit box: what a later choice converts from.
    void OnUnitTyped();
    // The user typed into a number box (zero, span, an offset, damping):
    // from now on it carries what it shows, not the value read.
    void OnValueTyped(int id);

    void ShowReadBack() override { ShowReadValues(); }

    // Buttons: both run a command sequence and return at once.
    void Read();
    void Update();

    static constexpr int kIndependent = 3;
    bool DoubleSensor() const { return m_bDoubleSensor; }
    int WorkMode() const { return m_nWorkMode; }

    static void StepDone(void* user, std::int32_t success, std::uint8_t command);

  private:
    void FillUnitList();
    void SetUnitText(const std::string& text);
    void CopyUnitToOffsetLabels();
    void CheckWorkMode();
    void ApplyEnablingRule();
    // Enables the wiring list of a sensor type position, 3-wire selected,
    // or disables it with no selection.
    void ChooseWiring(int wiringList, int typeList);
    // Enable or disable only; a disabled list loses its selection.
    void EnableWiring(int wiringList, int typeList);
    void ShowSensorDefaults(int typeList);
    void UpdateFromOutputSensor();
    void SetSensorTypeList(int list, std::uint8_t code);
    void FillFromDevice();
    void ShowReadValues();
    bool Validate();
    // The device code a sensor type list stands for; with no selection the
    // code the device model holds.
    std::uint8_t SensorCodeOf(int list, std::uint8_t held) const;
    void RefillList(int id, const std::vector<std::string>& keys);
    void Message(const char* key);

    // A number box shown from the device keeps the value read beside it:
    // while the box shows the same text and the user has not typed into
    // it, Update sends that value to the bit, not its rounded display.
    struct HeldValue {
        int id = 0;
        float value = 0;
        std::string shown;
        bool held = false;
    };
    void ShowHeld(int id, float value, const std::string& shown);
    void DropHeld(std::initializer_list<int> ids);
    HeldValue& Held(int id);
    // The value Update sends for a box: the held one, or the box's number
    // in the device's terms. False when it is not a finite 4-byte float.
    bool BoxValue(int id, float& value) const;

    Form& m_form;
    bool m_bDoubleSensor = false;
    int m_nWorkMode = 0;
    std::vector<SensorTypeRecord> m_sensorTypes;
    // The unit box's text before the user's latest choice.
    std::string m_strUnit;
    std::array<HeldValue, 5> m_held;
    // The page shows what a Read brought.
    bool m_bShownFromDevice = false;
};

}  // namespace tandrin
