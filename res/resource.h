#pragma once

// Resource and control IDs shared by the program's windows and their templates.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_DIGESTOR_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_STATUS_IMAGES 130
#define IDB_ABOUT_LOGO 133

#define IDC_RESULT_LIST 1000
#define IDC_CHECK_FILES 1001
#define IDC_GENERATE 1002
#define IDC_TO_CLIPBOARD 1003
#define IDC_SAVE_AS 1004
#define IDC_CLEAR_LIST 1005
#define IDC_STATUS_TEXT 1006
#define IDC_PROGRESS 1007
#define IDC_PROGRESS_DETAILS 1008
#define IDC_STOP 1009
#define IDC_ALGORITHM 1010
#define IDC_ALGORITHM_LABEL 1011
#define IDC_STATIC (-1)
