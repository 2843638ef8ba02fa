#include "common/globals.h"

HINSTANCE g_hInstance = nullptr;
WCHAR g_szStatusFile[kTextUnits] = L"";
WCHAR g_szModuleName[kTextUnits] = L"";
WCHAR g_szUIFile[kTextUnits] = L"";
DWORD OsVersionCode = 0;
HWND g_hMonitorWnd = nullptr;
int g_SecurityType = 0;
WCHAR g_szTargetPrinter[kTextUnits] = L"";
int g_Language = 0;

int g_PrevErrCodes[kMaxErrCodes] = {};
int g_UICodePage = 0;
int g_LastMsgCounter = 0;
DWORD g_StatusJobID = 0;
DWORD g_ShownJobID = 0;
WCHAR g_szStoreName[kTextUnits] = L"";
int g_LastSpoolerStatus = -1;
int g_SpoolerBusy = 0;
int g_MessageResetOwed = 0;
SpoolerOwed g_SpoolerOwed = SpoolerOwed::None;
DWORD g_SpoolerOwedWord = 0;
DWORD g_SpoolerOwedTick = 0;
WCHAR g_szStatusRefused[kMaxRefusedPrinters][kTextUnits] = {};

HWND g_hStatusDlg = nullptr;
StatusItemTable g_StatusItems = kStatusItemTable;
int g_StatusDlgDpi = kBaseDpi;
HBITMAP g_hStatusLogo = nullptr;
HBITMAP g_hStatusLogoOwn = nullptr;

WCHAR g_JobIDLast[kTextUnits] = L"";
WCHAR g_JobPasswordLast[kTextUnits] = L"";
WCHAR g_ActIDLast[kTextUnits] = L"";
WCHAR g_ActPasswordLast[kTextUnits] = L"";

WCHAR g_szFaxSettingsFile[kTextUnits] = L"";
WCHAR g_szCoverMessageFile[kTextUnits] = L"";

TraceSwitches g_TraceSwitches = {
    MFPSM_TRACE_MIN_LEVEL,
    MFPSM_TRACE_CHANNEL,
    {MFPSM_TRACE_CHANNEL_FLAGS},
    MFPSM_TRACE_LOG_FILE_FLAG,
    MFPSM_TRACE_LOG_FILE,
};
