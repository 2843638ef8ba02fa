// Entry of mfpsm: prepares the process-wide values, then lets the command
// word decide between one task and the resident monitor.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/dispatch.h"
#include "app/resident.h"
#include "common/globals.h"
#include "common/path_names.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_hInstance = instance;
    MISC_GetPathName(g_szStatusFile, kTextUnits, PATH_USER_TEMP | PATH_FILE_STATUS);
    TRACE_In(kTraceProgress, L"WinMain");

    WCHAR exePath[kTextUnits] = L"";
    GetModuleFileNameW(nullptr, exePath, kTextUnits);
    MISC_CopyText(U16(g_szModuleName), kTextUnits, PATH_ModuleBaseName(U16View(exePath)));
    TRACE_Tag(L"WinMain", L"FieldName = %ls", g_szModuleName);
    MISC_AppendText(U16(g_szUIFile), kTextUnits, u"smen.ini");
    OsVersionCode = SM_GetOsVersionCode();

    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        argc = 0;
    MISC_DebugPrint(L"%d", argc);
    for (int i = 0; i < argc; ++i)
        MISC_DebugPrint(L"argv[%d] = %ls", i, argv[i]);

    // A one-shot task leaves its exit code in g_ExitCode.
    int exitCode = SM_DispatchCommand(argv, argc, g_szModuleName, exePath) ? SM_RunResident() : g_ExitCode;
    if (argv)
        LocalFree(argv);
    TRACE_Out(kTraceProgress);
    return exitCode;
}
