#pragma once
// Resource ids of the main window, its status strip and its two pages.

// Templates.
inline constexpr int IDD_ONLINE_UPDATE_AND_READ = 215;
inline constexpr int IDD_STATUS = 145;
inline constexpr int IDD_ONLINE_UPDATE = 171;
inline constexpr int IDD_ONLINE_READ = 217;

// Bitmaps.
inline constexpr int IDB_LOGO = 168;
inline constexpr int IDB_STATUS_PICTURE = 146;

// Main window.
inline constexpr int IDC_MAIN_WRITE = 1070;
inline constexpr int IDC_MAIN_READ = 1071;
inline constexpr int IDC_MAIN_EXIT = 1072;
inline constexpr int IDC_MAIN_MERGE = 1073;
inline constexpr int IDC_MAIN_LOGO = 1154;
inline constexpr int IDC_MAIN_CHIP_TYPE = 1438;
inline constexpr int IDC_MAIN_CHIP_COMBO = 1023;
inline constexpr int IDC_MAIN_RAM = 1502;
inline constexpr int IDC_MAIN_APROM = 1506;
inline constexpr int IDC_MAIN_PART_NO = 1503;

// Status strip.
inline constexpr int IDC_STATUS_FIELD1 = 1127;
inline constexpr int IDC_STATUS_FIELD2 = 1128;
inline constexpr int IDC_STATUS_PICTURE = 1129;
inline constexpr int IDC_STATUS_FIELD3 = 1130;

// Write page.
inline constexpr int IDC_WRITE_PATH = 1221;
inline constexpr int IDC_WRITE_BYTE_SUM = 1222;
inline constexpr int IDC_WRITE_LENGTH = 1100;
inline constexpr int IDC_WRITE_CLEAR = 1078;
inline constexpr int IDC_WRITE_BROWSE = 1072;
inline constexpr int IDC_WRITE_ADDRESS_GROUP = 1526;
inline constexpr int IDC_WRITE_UPDATE_PART = 1206;
inline constexpr int IDC_WRITE_ADDRESS_LABEL = 1527;
inline constexpr int IDC_WRITE_ADDRESS = 1517;
inline constexpr int IDC_PASSWORD_GROUP = 1523;
inline constexpr int IDC_PASSWORD = 1499;
inline constexpr int IDC_WRITE_ERASE = 1251;
inline constexpr int IDC_WRITE_WRITE_BOX = 1252;
inline constexpr int IDC_WRITE_VERIFY = 1250;
inline constexpr int IDC_WRITE_RTS_LOW = 1071;
inline constexpr int IDC_WRITE_RTS_HIGH = 1074;
inline constexpr int IDC_WRITE_PROGRESS = 1039;
inline constexpr int IDC_WRITE_WRITE = 1070;
inline constexpr int IDC_WRITE_SAVE = 1073;

// Read page.
inline constexpr int IDC_READ_READ = 1071;
inline constexpr int IDC_READ_SAVE = 1072;
inline constexpr int IDC_READ_PROGRESS = 1498;
inline constexpr int IDC_READ_CUSTOM_AREA = 1493;
inline constexpr int IDC_READ_ALL_AREA = 1497;
inline constexpr int IDC_READ_FROM = 1495;
inline constexpr int IDC_READ_TO = 1496;
inline constexpr int IDC_READ_HEX_VIEW = 197811;
