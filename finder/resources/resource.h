// Identifiers of the finder's resources, shared by finder.rc and the code.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_SEARCHBAR_DIALOG 102
#define IDD_SEARCH_EDIT 129
#define IDD_RESULTS 130
#define IDD_ABOUT_NUV 317

// Strings.
#define IDS_ABOUTBOX 101

// The application icon group.
#define IDR_MAINFRAME 128

// PNG images, resource type "PNG". 134 is not used by any window and is not shipped.
#define IDB_PNG_BAR 131
#define IDB_PNG_FIELD 132
#define IDB_PNG_RESULTS 133
#define IDB_PNG_WEB_SEARCH 135
#define IDB_PNG_CLOSE_NORMAL 136
#define IDB_PNG_CLOSE_PRESSED 137
#define IDB_PNG_CLOSE_HOVER 138
#define IDB_PNG_ABOUT_LINK 139
#define IDB_PNG_ABOUT_LINK_HOVER 140
#define IDB_PNG_ABOUT_BACKGROUND 141
#define IDB_PNG_ABOUT_CLOSE 142
#define IDB_PNG_ABOUT_CLOSE_HOVER 143
#define IDB_PNG_LEARN_MORE 144
#define IDB_PNG_LEARN_MORE_HOVER 145

// The system menu's About item; the system keeps the low four bits of a command.
#define IDM_ABOUTBOX 0x0010

// Controls of the search field (129).
#define IDC_SEARCH_EDIT 1000

// Controls of the results popup (130).
#define IDC_RESULTS_CLOSE 1001
#define IDC_RESULTS_LIST 1002
#define IDC_SPARE_LIST 1004
#define IDC_WEB_SEARCH 1005
#define IDC_RESULTS_TITLE 1006
#define IDC_ABOUT_LINK 1008
#define IDC_QUOTED_TEXT 1009
#define IDC_WEB_PANE 1140

// Controls of the product About window (317).
#define IDC_LEARN_MORE 1004
#define IDC_ABOUT_CLOSE 1138
