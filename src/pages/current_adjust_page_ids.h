#pragma once

#include <array>

#include "pages/page_control.h"

// Identifiers of the current adjustment page's controls (layout 130).
namespace tandrin::current_ids {

constexpr int kTrimGroup = 1011;
constexpr int kFirstLabel = 1102;
constexpr int kFirstReading = 1001;
constexpr int kTest1 = 1004;
constexpr int kSecondLabel = 1103;
constexpr int kSecondReading = 1046;
constexpr int kTest2 = 1005;
constexpr int kUpdate = 1047;
constexpr int kFixGroup = 1023;
constexpr int kPresetFirst = 1012;  // "3.8 mA" .. 1018 "20.5 mA"
constexpr int kPresetLast = 1018;
constexpr int kOther = 1019;
constexpr int kOtherEdit = 1020;
constexpr int kSend = 1021;
constexpr int kExit = 1022;

constexpr std::array<float, 7> kPresetCurrents{3.8f, 4.0f, 8.0f, 12.0f, 16.0f, 20.0f, 20.5f};

constexpr std::array<PageControl, 20> kControls{{
    {kTrimGroup, "IDC_StaCap1"}, {kFirstLabel, "IDC_STA1"},  {kFirstReading, "IDC_txtCurrent1"},
    {kTest1, "IDC_cmdTest1"},    {kSecondLabel, "IDC_STA2"}, {kSecondReading, "IDC_txtCurrent2"},
    {kTest2, "IDC_cmdTest2"},    {kUpdate, "IDC_cmdTrim"},   {kFixGroup, "IDC_StaCap2"},
    {1012, "IDC_RADIO1"},        {1013, "IDC_RADIO2"},       {1014, "IDC_RADIO3"},
    {1015, "IDC_RADIO4"},        {1016, "IDC_RADIO5"},       {1017, "IDC_RADIO6"},
    {1018, "IDC_RADIO7"},        {kOther, "IDC_RADIO8"},     {kOtherEdit, "IDC_txtFixI"},
    {kSend, "IDC_cmdSendFixI"},  {kExit, "IDC_cmdExitI"},
}};

}  // namespace tandrin::current_ids
