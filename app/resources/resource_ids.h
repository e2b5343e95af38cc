// Resource and control ids of the program's icon and dialogs, grouped by
// dialog. Shared by the resource script and the dialog procedures.
#pragma once

// windres reads this header too; it understands only the #defines.
#define IDI_PIPSTACK 100

// Unnamed static controls.
#define IDC_STATIC_TEXT -1

// Configuration dialog.
#define IDD_CONFIG 101
#define IDC_CONFIG_FLOOR_1 1000
#define IDC_CONFIG_FLOOR_2 1001
#define IDC_CONFIG_FLOOR_3 1002
#define IDC_CONFIG_FLOOR_4 1003
#define IDC_CONFIG_FLOOR_5 1004
#define IDC_CONFIG_FLOOR_6 1005
#define IDC_CONFIG_FLOOR_7 1006
#define IDC_CONFIG_FLOOR_8 1007
#define IDC_CONFIG_CEILING_1 1008
#define IDC_CONFIG_CEILING_2 1009
#define IDC_CONFIG_CEILING_3 1010
#define IDC_CONFIG_CEILING_4 1011
#define IDC_CONFIG_CEILING_5 1012
#define IDC_CONFIG_CEILING_6 1013
#define IDC_CONFIG_CEILING_7 1014
#define IDC_CONFIG_CEILING_8 1015
#define IDC_CONFIG_SOURCE_BUTTON_1 1016
#define IDC_CONFIG_SOURCE_BUTTON_2 1017
#define IDC_CONFIG_SOURCE_BUTTON_3 1018
#define IDC_CONFIG_SOURCE_BUTTON_4 1019
#define IDC_CONFIG_SOURCE_BUTTON_5 1020
#define IDC_CONFIG_SOURCE_BUTTON_6 1021
#define IDC_CONFIG_SOURCE_BUTTON_7 1022
#define IDC_CONFIG_SOURCE_BUTTON_8 1023
#define IDC_CONFIG_SOURCE_LABEL_1 1024
#define IDC_CONFIG_SOURCE_LABEL_2 1025
#define IDC_CONFIG_SOURCE_LABEL_3 1026
#define IDC_CONFIG_SOURCE_LABEL_4 1027
#define IDC_CONFIG_SOURCE_LABEL_5 1028
#define IDC_CONFIG_SOURCE_LABEL_6 1029
#define IDC_CONFIG_SOURCE_LABEL_7 1030
#define IDC_CONFIG_SOURCE_LABEL_8 1031
#define IDC_CONFIG_CLOSE 1032
#define IDC_CONFIG_QUIT 1034
#define IDC_CONFIG_WRITE_DELAY 1036
#define IDC_CONFIG_INTERPOLATE 1038
#define IDC_CONFIG_INTERPOLATION_LED 1039
#define IDC_CONFIG_METER_TESTS 1043
#define IDC_CONFIG_ABOUT 1044
// Beside each source: the value the meter compares and whether it is lit.
#define IDC_CONFIG_LIVE_VALUE_1 1050
#define IDC_CONFIG_LIVE_VALUE_2 1051
#define IDC_CONFIG_LIVE_VALUE_3 1052
#define IDC_CONFIG_LIVE_VALUE_4 1053
#define IDC_CONFIG_LIVE_VALUE_5 1054
#define IDC_CONFIG_LIVE_VALUE_6 1055
#define IDC_CONFIG_LIVE_VALUE_7 1056
#define IDC_CONFIG_LIVE_VALUE_8 1057

// The notification icon's menu. Its other commands are the configuration
// dialog's buttons (Meter Tests, About, Quit) and carry their ids.
#define IDR_NOTIFY_MENU 106
#define IDM_NOTIFY_CONFIGURE 1100

// Test Sequences.
#define IDD_TEST 103
#define IDC_TEST_CLOSE 1032
#define IDC_TEST_SHORT 1042
#define IDC_TEST_FULL 1045

// Select Data Source.
#define IDD_SOURCE 104
#define IDC_SOURCE_OK 1040
#define IDC_SOURCE_LIST 1037

// About Pipstack.
#define IDD_ABOUT 105
#define IDC_ABOUT_OK 1040

// The dialog-initialisation resource type; the dialog manager ignores it.
#define RT_DIALOG_INIT 240
