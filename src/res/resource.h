#pragma once

// Resource ids of the program. The numbers are fixed: other programs, the stored settings and
// the adapter's sibling library know some of them (the library picks messages by string id).

// Strings
#define IDS_SETTINGS_KEY 1
#define IDS_TRANSPORT_ERROR 2
#define IDS_IOCONTROL_ERROR 3
#define IDS_STREAM_TWO_CHANNEL 4
#define IDS_STREAM_FIVE_ONE 5
#define IDS_DRIVER_NOT_LOADED 6
#define IDS_ERROR_CAPTION 7
#define IDS_EMPTY_CAPTION 8
#define IDS_APP_NAME 9
#define IDS_WARNING_CAPTION 30
#define IDS_APP_RUNNING 9020
#define IDS_REPLUG_OR_REBOOT 65334
#define IDS_DEVICE_NOT_PLUGGED 65335
#define IDS_DEVICE_NOT_INSTALLED 65336
#define IDS_DLL_NOT_FOUND 65436
#define IDS_RESET 65438
#define IDS_TEST 65439
#define IDS_STOP 65440
#define IDS_FIVE_ONE_QUESTION 65442

// Dialogs and their controls
#define IDD_MAIN 102
#define IDD_SPEAKER_TEST 173
#define IDC_TAB 1000
#define IDC_SPEAKER_TEST_TAB 1065
#define IDC_SPEAKER_TEST_CLOSE 1071
#define IDC_CLOSE 1072

// Icons
#define IDI_MAIN 128
#define IDI_TRAY_PRESENT 153
#define IDI_TRAY_ABSENT 154

// Tray menus and their commands
#define IDR_TRAY_PRESENT 155
#define IDR_TRAY_ABSENT 156
#define IDR_TRAY_SETTINGS 157
#define ID_EXIT 32771
#define ID_OPEN_SETTING 32774
#define ID_TEST_SPEAKER 32775
#define ID_CLOSE_SETTING 32777

// Sounds (resource type "WAVE")
#define IDW_SILENCE 9184
