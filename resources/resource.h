// Resource identifiers of mfpsm, shared by the resource scripts and the code.
#pragma once

// Status dialog
#define IDD_STATUS 102
#define IDC_SLOT_FIRST 1001   // text slots 1001-1006 (left), 1007-1012 (right)
#define IDC_SLOT_LAST 1012
#define IDC_DELETE 1117
#define IDC_GROUP 1118
#define IDC_CONTINUE 1119
#define IDB_LOGO 1120
#define IDB_UPPER 1121
#define IDB_UPPER_MASK 1122
#define IDB_LOWER 1123
#define IDB_LOWER_MASK 1124
#define IDB_LOWER_DUPLEX 1127

// Secure print dialog
#define IDD_SECURE 103
#define IDC_SEC_ID 1013
#define IDC_SEC_PASSWORD 1014
#define IDC_SEC_REMOVE 1015
#define IDC_SEC_ID_LABEL 1053
#define IDC_SEC_ID_HINT 1054
#define IDC_SEC_PASSWORD_LABEL 1055
#define IDC_SEC_PASSWORD_HINT 1056
#define IDC_SEC_OK 1057

// Accounting dialog
#define IDD_ACCOUNTING 108
#define IDC_ACT_NAME 1031
#define IDC_ACT_PASSWORD 1032
#define IDC_ACT_NAME_LABEL 1033
#define IDC_ACT_NAME_HINT 1034
#define IDC_ACT_PASSWORD_LABEL 1035
#define IDC_ACT_PASSWORD_HINT 1036
#define IDC_ACT_OK 1038
