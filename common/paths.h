// The path service: a path kind (base directory in the high half, what
// follows in the low half) becomes a full path; plus the small file
// operations it relies on.
#pragma once

#include <windows.h>

// High half: the base directory.
constexpr DWORD PATH_USER_TEMP = 0x00000;    // NT: "Common Documents"; 9x: user temp
constexpr DWORD PATH_WINDOW_TEMP = 0x10000;  // Windows directory + "temp\"
constexpr DWORD PATH_SYSTEM = 0x20000;
constexpr DWORD PATH_WINDOW = 0x40000;
constexpr DWORD PATH_CURRENT = 0x80000;
constexpr DWORD PATH_DRIVER = 0x100000;      // system directory + "\spool\drivers\w32x86\3\"
constexpr DWORD PATH_TEMP = 0x200000;

// Low half: what follows the base directory.
constexpr DWORD PATH_FILE_STATUS = 0x0008;       // the status exchange file, made a UTF-16 file
constexpr DWORD PATH_FILE_STATUS_NAME = 0x0100;  // its name only, no check
constexpr DWORD PATH_FILE_TEMP = 0x0001;         // any other low half: a unique temporary name
constexpr DWORD PATH_EXT_TXT = 0x0200;           // with PATH_FILE_TEMP: ".txt"
constexpr DWORD PATH_EXT_BMP = 0x0010;           // ".bmp"
constexpr DWORD PATH_EXT_SPL = 0x0040;           // ".spl"

constexpr const wchar_t* kStatusFileName = L"StatusMonitorV3.ini";
constexpr const wchar_t* kShellFoldersKey = L"software\\microsoft\\windows\\currentversion\\explorer\\shell folders";

// Fills text (length units) with the path of kind; 1 on success, else 0.
int MISC_GetPathName(WCHAR* text, DWORD length, DWORD kind);

// The shared documents folder ("Common Documents" of the shell folders key,
// at most 129 characters) into text; 0 when it cannot be read or does not fit.
int MISC_ReadCommonDocuments(WCHAR* text, DWORD length);

// 1: begins with FF FE; -1: cannot be opened; -2: opens but has no mark.
int MISC_CheckUniFile(const WCHAR* path);
// Creates the file with the two bytes FF FE when it does not exist; an
// existing file is left as it is. 1 whatever happens.
int MISC_CreateUniFile(const WCHAR* path);
// Deletes the file, retrying for up to 2000 ms; 1 whatever happens.
int MISC_Remove(const WCHAR* path);
// 1 when a file search finds the path (file or directory).
int MISC_FileExists(const WCHAR* path);
// 1 when the path is a directory.
int MISC_DirExists(const WCHAR* path);
// Appends a backslash unless there is one; 0 for a null path, else 1.
int MISC_AddBackslash(WCHAR* path, size_t capacity);

// The Windows version code of this machine (see common/os_version.h).
DWORD SM_GetOsVersionCode();
