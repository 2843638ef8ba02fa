// Process-wide values of mfpsm. Each is defined once, in common/globals.cpp,
// set by the code that owns it and read by the others. One thread uses them.
#pragma once

#include <windows.h>

#include "display/status_items.h"

constexpr int kTextUnits = MAX_PATH;  // the fixed 260-unit text buffers

// Exit codes of the one-shot commands (app/DRIVER_SIDE.md). The driver side
// waits for the prompts and must learn when their answers never reached the
// printer, so it can cancel the job instead of printing it unprotected.
constexpr int kExitTaskDone = 1;          // the task ran; its outputs tell how it went
constexpr int kExitAnswersNotHanded = 2;  // a prompt's answers could not reach the driver
constexpr int kExitTargetHeld = 3;        // the BMP stayed held open by another process

// Start-up (app/)
extern HINSTANCE g_hInstance;                  // instance handle given to WinMain
extern WCHAR g_szStatusFile[kTextUnits];       // full path of StatusMonitorV3.ini
extern WCHAR g_szModuleName[kTextUnits];       // module base name: class, autostart value, program key
extern WCHAR g_szUIFile[kTextUnits];           // UI text file name, "smen.ini"
extern DWORD OsVersionCode;                    // above 16: NT family; otherwise 9x family
extern HWND g_hMonitorWnd;                     // the hidden monitor window
extern int g_SecurityType;                     // "security": 1 storage print, 2 security print
extern WCHAR g_szTargetPrinter[kTextUnits];    // printer of the prompt dialogs
extern int g_Language;                         // column of the prompt text table, 0-12

// Resident monitor (monitor/)
constexpr int kMaxErrCodes = 48;               // entries of an error code list
extern int g_PrevErrCodes[kMaxErrCodes];       // the list last shown in the status dialog
extern int g_UICodePage;                       // "codepage" of smen.ini, read at window creation
extern int g_LastMsgCounter;                   // "LastMsg" of the status last taken; 0 at start
extern DWORD g_StatusJobID;                    // "JobID" read right after the list last taken
extern DWORD g_ShownJobID;                     // the job of the list last shown: Delete acts on it
extern WCHAR g_szStoreName[kTextUnits];        // store name of "Status", shown with code 277
extern int g_LastSpoolerStatus;                // status word last set on the printer; -1: none
extern int g_SpoolerBusy;                      // set while a status word is being set
extern int g_MessageResetOwed;                 // a close with reset could not write "Message" = 0:
                                               // while 1026 stays, ticks only retry that write
// The status word call that found no spooler (restarted by an update or an
// administrator): ticks try it again, at most once a second, until a newer
// word or status decides.
enum class SpoolerOwed { None, Word, Clear };
extern SpoolerOwed g_SpoolerOwed;
extern DWORD g_SpoolerOwedWord;                // the word of SpoolerOwed::Word
extern DWORD g_SpoolerOwedTick;                // GetTickCount of the last try
// Printers whose refusal of the status word is traced already: for a
// standard user it recurs with every status, so each is traced once.
constexpr int kMaxRefusedPrinters = 8;
extern WCHAR g_szStatusRefused[kMaxRefusedPrinters][kTextUnits];

// Status dialog (display/): non-null while the modeless dialog exists; the
// message loop offers it every message for keyboard navigation.
extern HWND g_hStatusDlg;
extern StatusItemTable g_StatusItems;          // the status item table with its shown flags
extern int g_StatusDlgDpi;                     // DPI the dialog is drawn at: its display's, kept
                                               // up to date by WM_DPICHANGED
extern HBITMAP g_hStatusLogo;                  // the logo of a larger scale while the dialog shows one
extern HBITMAP g_hStatusLogoOwn;               // the logo the dialog's control was made with, meanwhile

// Prompts (prompts/): the last text of each field that passed its character
// rule; what the close hands to the driver as printer data, then empties.
extern WCHAR g_JobIDLast[kTextUnits];
extern WCHAR g_JobPasswordLast[kTextUnits];
extern WCHAR g_ActIDLast[kTextUnits];
extern WCHAR g_ActPasswordLast[kTextUnits];

// Fax cover page (fax/): rebuilt by every fax page job.
extern WCHAR g_szFaxSettingsFile[kTextUnits];   // "str.ini" in the shared documents folder
extern WCHAR g_szCoverMessageFile[kTextUnits];  // "cover.ini" beside it

// Trace facility switches: fixed when the program is built (see CMake cache
// options MFPSM_TRACE_*); tests change them at run time.
struct TraceSwitches {
    unsigned minLevel;         // 0: facility off; else lines of at least this level
    int channel;               // 1-5 chooses one of the channel flags; else off
    int channelFlags[5];
    int logFileFlag;           // non-zero: also append every line to logFilePath
    WCHAR logFilePath[kTextUnits];
};
extern TraceSwitches g_TraceSwitches;
