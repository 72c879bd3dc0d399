// The numbers of the program's dialogs and of their controls, shared by the resource script
// and the code that shows them.
#pragma once

#define IDD_OPTIONS 102
#define IDC_TO_FOLDER 1101
#define IDC_BESIDE 1102
#define IDC_OUTPUT_FOLDER 1103
#define IDC_BROWSE 1104
#define IDC_NAME 1105
#define IDC_EXAMPLE 1106
#define IDC_SUBFOLDERS 1107
#define IDC_TARGET 1108
#define IDC_QUALITY 1109
#define IDC_FIT 1110
#define IDC_FIT_SIZE 1111
#define IDC_IF_EXISTS 1112
#define IDC_ENCODERS 1113
#define IDC_WHEN 1114
#define IDC_BUSY_NOTE 1115
#define IDC_SUBTITLES 1116
#define IDC_DISC 1117
#define IDC_DISC_NAME 1118
#define IDC_EXPLORER_VERB 1119
#define IDC_LOUDNESS 1120
#define IDC_FILL 1121
#define IDC_JOIN 1122
#define IDC_DISC_MENU 1123

#define IDD_ABOUT 103
#define IDC_ABOUT_TEXT 1201
