#pragma once

// The simulator's "System mixer" panel. Its rows of controls are made at run time, one row per
// mixer line: row r's controls have the ids IDC_SIM_MIXER_ROWS + 10 r + 0 (name), + 1 (values),
// + 2 (volume), + 3 (balance) and + 4 (Mute, or Record for a recording source).
#define IDD_SIM_MIXER 30002
#define IDC_SIM_MIXER_DEVICE 30201
#define IDC_SIM_MIXER_FAIL 30202
#define IDC_SIM_MIXER_LAYOUT 30203
#define IDC_SIM_MIXER_ROWS 30300
