#pragma once

// Resources of the simulator build only, numbered far from the program's own.
#define IDD_SIMULATOR 30001
#define IDC_SIM_PLUG_STATE 30101
#define IDC_SIM_PLUG 30102
#define IDC_SIM_STREAM_NONE 30103
#define IDC_SIM_STREAM_TWO 30104
#define IDC_SIM_STREAM_FIVE 30105
#define IDC_SIM_FAIL_OPENS 30106
#define IDC_SIM_FAIL_CODE 30107
#define IDC_SIM_FAIL_CODE_ON 30108
#define IDC_SIM_FAIL_COUNT 30109
#define IDC_SIM_FAIL_NEXT 30110
#define IDC_SIM_STATE 30111
#define IDC_SIM_LOG 30112
#define IDC_SIM_CLEAR 30113
