// Resource identifiers of KivForIS55.dll, shared by the .rc, the code and the tests.
#pragma once

// Dialog templates
#define IDD_PROGRESS 130
#define IDD_USER_NAME 1003
#define IDD_TARGET_FOLDER 1006
#define IDD_TABLET_MENU 1007
#define IDD_PRODUCT_SELECTION 1008
#define IDD_PRODUCT_SELECTION_AT 1009
#define IDD_USER_NAME_GREYED 1010
#define IDD_CANCEL_CONFIRM 1020

// Bitmaps
#define IDB_SIDE_NARROW 132
#define IDB_SIDE_WIDE 1203

// Strings
#define IDS_TARGET_FOLDER_MESSAGE 1009

// Wizard page frame
#define IDC_BACK 4
#define IDC_SIDE_PICTURE 1200
#define IDC_SEPARATOR 1201

// Page controls
#define IDC_PAGE_TEXT 300
#define IDC_USER_NAME 301
#define IDC_PRODUCT_LIST 1019
#define IDC_TARGET_MESSAGE 1008
#define IDC_TARGET_FOLDER 1007
#define IDC_TABLET_CHOICE 1011

// Progress window
#define IDC_PROGRESS_BAR 1001
#define IDC_PROGRESS_HEADER 1002
#define IDC_PROGRESS_ITEM 1004

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
