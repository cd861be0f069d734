#pragma once

// Identifiers of the main window's controls, menu commands and messages.
namespace tandrin::main_ids {

// Controls
constexpr int kProgress = 1001;
constexpr int kLogo = 1002;
constexpr int kValueGroup = 1003;
constexpr int kPvReadout = 1004;
constexpr int kGetButton = 1005;
constexpr int kCurrentReadout = 1006;
constexpr int kPercentReadout = 1007;
constexpr int kPageCurrentAdjust = 1029;
constexpr int kPageSetup = 1030;
constexpr int kPageInfo = 1031;
constexpr int kPageCalibration = 1032;
constexpr int kPageMonitor = 1033;
constexpr int kPeriodBox = 501;

// Menu and toolbar commands
constexpr int kFileExit = 32771;
constexpr int kOnLine = 32772;
constexpr int kSearch = 32773;
constexpr int kReset = 32774;
constexpr int kStop = 32776;
constexpr int kProductInfo = 32777;
constexpr int kContact = 32778;
constexpr int kHelpAbout = 32786;
constexpr int kPortFirst = 32787;
constexpr int kPortLast = 32796;
constexpr int kLanguageFirst = 32797;
constexpr int kLanguageLast = 32806;
constexpr int kHelpTraceFolder = 32807;
// Serial Port > HART-IP Server..., after the ports
constexpr int kPortHartIp = 32841;
constexpr int kMonitorAll = 31000;
constexpr int kMonitorPv = 31001;
constexpr int kMonitorCurrent = 31002;
constexpr int kMonitorPercent = 31003;
constexpr int kMonitorHistory = 31004;
constexpr int kMonitorOpen = 31005;
constexpr int kMonitorSave = 31006;

// Loop check (Process menu)
constexpr int kLoopCheck = 32840;
// Device status (Process menu)
constexpr int kDeviceStatus = 32842;

// Menu positions: the "Envirmont" popup holds the Serial Port submenu at
// item 0 and the Language submenu at item 2.
constexpr int kMenuFile = 0;
constexpr int kMenuProcess = 1;
constexpr int kMenuEnvironment = 2;
constexpr int kMenuHelp = 3;
constexpr int kPortSubmenu = 0;
constexpr int kLanguageSubmenu = 2;

// Messages
constexpr int kShowValueMessage = 0x465;  // WM_SHOWVALUE

// The device information page's short-address box, shared with the search.
constexpr int kShortAddressBox = 1025;

}  // namespace tandrin::main_ids
