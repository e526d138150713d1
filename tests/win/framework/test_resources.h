// Ids of the test-only dialog templates in framework_tests.rc.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_BUTTONS 200  // OK and Cancel, a Chinese label
#define IDD_CONTROLS 201 // owner-drawn button, edit, static, owner-data report list, plain button
#define IDD_CHINESE 202  // Chinese texts in "MS Shell Dlg", for the screenshot

#define IDC_LABEL 1001
#define IDC_OWNERDRAW 1010
#define IDC_EDIT 1011
#define IDC_TEXT 1012
#define IDC_LIST 1013
#define IDC_PLAIN 1014
#define IDC_NSIMSUN 1015
#define IDC_NOT_IN_TEMPLATE 1099
