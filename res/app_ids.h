#pragma once
// Resource ids: dialog templates, their controls, and the string table.

// Strings.
inline constexpr unsigned IDS_COMMUNICATION_ERROR = 102;  // "Communication Error!"
inline constexpr unsigned IDS_ID_ERROR = 103;             // "ID Error!"
inline constexpr unsigned IDS_VERIFY_ERROR = 104;         // "Verify Error!"

// Template 229: the IC type and interface dialog.
inline constexpr unsigned IDD_SELECT_IC_TYPE = 229;
inline constexpr int IDC_ICTYPE_LIST = 1501;
inline constexpr int IDC_ICTYPE_RAM = 1502;
inline constexpr int IDC_ICTYPE_PARTNO = 1503;
inline constexpr int IDC_ICTYPE_LIST_TITLE = 1504;
inline constexpr int IDC_ICTYPE_NAME = 1505;
inline constexpr int IDC_ICTYPE_FLASH = 1506;
inline constexpr int IDC_ICTYPE_USB = 1516;
inline constexpr int IDC_ICTYPE_COM = 1517;
inline constexpr int IDC_ICTYPE_TIMEOUT_ENTRY = 1522;
inline constexpr int IDC_ICTYPE_CHECKPIN_ENTRY = 1523;
inline constexpr int IDC_ICTYPE_COM_NUM = 1023;
inline constexpr int IDC_ICTYPE_BAUDRATE = 1024;

// Template 230: the download dialog.
inline constexpr unsigned IDD_DOWNLOAD = 230;
inline constexpr int IDC_DOWNLOAD_PROGRESS = 1039;
inline constexpr int IDC_DOWNLOAD_CLOSE = 1070;
inline constexpr int IDC_DOWNLOAD_NAME = 1520;
inline constexpr int IDC_DOWNLOAD_SIZE = 1521;
