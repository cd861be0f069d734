#pragma once

#include <array>

#include "pages/page_control.h"
#include "shell/main_dialog_ids.h"

// Identifiers of the device information page's controls (layout 135).
namespace tandrin::info_ids {

constexpr int kInfoGroup = 1011;
constexpr int kDateLabel = 1102;
constexpr int kDate = 1101;
constexpr int kTagLabel = 1103;
constexpr int kTag = 1032;
constexpr int kDescriptorLabel = 1105;
constexpr int kDescriptor = 1033;
constexpr int kMessageLabel = 1106;
constexpr int kMessage = 1034;
constexpr int kReadInfo = 1048;
constexpr int kUpdateInfo = 1163;
constexpr int kAddressGroup = 1023;
constexpr int kAddressLabel = 1107;
constexpr int kAddressBox = main_ids::kShortAddressBox;  // 1025
constexpr int kNewAddressLabel = 1108;
constexpr int kNewAddress = 1038;
constexpr int kUpdateAddress = 1040;
constexpr int kFinalGroup = 1024;
constexpr int kFinalAssembly = 1039;
constexpr int kReadFinal = 1049;
constexpr int kUpdateFinal = 1168;

constexpr std::array<PageControl, 21> kControls{{
    {kInfoGroup, "IDC_StaCap1"},
    {kDateLabel, "IDC_STA1"},
    {kDate, "IDC_DATETIMEPICKER1"},
    {kTagLabel, "IDC_STA2"},
    {kTag, "IDC_txtTag"},
    {kDescriptorLabel, "IDC_STA3"},
    {kDescriptor, "IDC_txtDescriptor"},
    {kMessageLabel, "IDC_STA4"},
    {kMessage, "IDC_txtMessage"},
    {kReadInfo, "IDC_cmdRead1"},
    {kUpdateInfo, "IDC_cmdWrite1"},
    {kAddressGroup, "IDC_StaCap2"},
    {kAddressLabel, "IDC_STA5"},
    {kAddressBox, "IDC_cboPollAddr"},
    {kNewAddressLabel, "IDC_STA6"},
    {kNewAddress, "IDC_txtNewAddr"},
    {kUpdateAddress, "IDC_cmdWriteAddr"},
    {kFinalGroup, "IDC_StaCap3"},
    {kFinalAssembly, "IDC_txtFinalAssembly"},
    {kReadFinal, "IDC_cmdRead2"},
    {kUpdateFinal, "IDC_cmdWrite2"},
}};

}  // namespace tandrin::info_ids
