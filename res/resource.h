#pragma once

// Identifiers of the dialog templates, controls, menu commands, icon and
// string, used under the same names everywhere.

// Dialog templates and resources
#define IDD_ABOUT 100
#define IDS_ABOUT_ITEM 101
#define IDD_MAIN 102
#define IDD_DELIVERY_AGE 103
#define IDD_RISK_CURVE 104
#define IDR_MAIN_ICON 128
#define IDR_MAIN_MENU 130
#define IDR_MAIN_ACCELERATORS 131

// Controls of the calculator window
#define IDC_FORMULA 1000
#define IDC_AGE 1001
#define IDC_TERM_RISK 1002
#define IDC_GEST_RISK 1003
#define IDC_WEEKS 1004
#define IDC_WEEKS_SPIN 1005
#define IDC_ADVICE 1007
#define IDC_STATUS 1008

// Controls of the tools' windows
#define IDC_BIRTH_DATE 1010
#define IDC_DELIVERY_DATE 1011
#define IDC_DELIVERY_AGE 1012
#define IDC_DELIVERY_MESSAGE 1013
#define IDC_DELIVERY_TERM 1014
#define IDC_DELIVERY_WEEKS_MESSAGE 1015
#define IDC_RISK_CURVE 1020
#define IDC_RISK_CURVE_CAPTION 1021
#define IDC_ABOUT_ICON 1030
#define IDC_ABOUT_TITLE 1031

// Labels, group boxes and rules
#define IDC_STATIC (-1)

// Standard commands
#define IDOK 1
#define IDCANCEL 2
#define ID_HELP 0xE146

// Commands
#define IDM_ABOUT_SYS 0x0010
#define ID_MENU_INFO 32771
#define ID_MENU_QUIT 32772
#define ID_TOOLS_DELIVERY_AGE 32773
#define ID_TOOLS_COPY_SUMMARY 32774
#define ID_TOOLS_RISK_CURVE 32775
