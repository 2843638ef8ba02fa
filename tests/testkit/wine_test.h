// Helpers shared by the Windows tests (unit and e2e): programs started as
// child processes that never outlive the test, scratch folders, windows
// looked up with a deadline, files and registry values read back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Folder of the running test program; mfpsm.exe and drvsim.exe lie beside it.
std::wstring TestBinDir();
std::wstring BesideTest(const wchar_t* fileName);

// The prefix's "Common Documents" folder, with a trailing backslash.
std::wstring CommonDocumentsDir();

// Sets the process-wide values the way start-up would, for a test process.
void InitProcessValues(const wchar_t* statusFile = nullptr);

// A child process that is terminated if the test ends while it still runs.
class ChildProcess {
public:
    // commandLine is given whole, the program quoted as needed.
    explicit ChildProcess(const std::wstring& commandLine);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    // Exit code, or -1 when the process did not end within timeoutMs.
    int Wait(DWORD timeoutMs);
    bool Running() const;
    DWORD Id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Starts program (beside the test) with args and waits; -1 on time-out.
int RunBeside(const wchar_t* program, const std::wstring& args, DWORD timeoutMs);

// Polls for a top-level window until the deadline; null when none appeared.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs);
// Polls for a visible dialog (class #32770) of the child process until the
// deadline or the child's end; null when none appeared.
HWND WaitForDialogOf(const ChildProcess& child, DWORD timeoutMs);
// Polls until no top-level window of the class exists; false on time-out.
bool WaitForNoWindow(const wchar_t* className, DWORD timeoutMs);

// Runs the resident monitor's tick twice, now, in the monitor: its timer
// handler does nothing but the tick, and a message sent to its window is
// handled before the send returns. Whatever the monitor makes of a status
// written before is then done, so a check that nothing happened needs no
// wait of a guessed length. False when no monitor answers.
bool TickMonitorTwice();

// Dispatches this thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);

// A fresh folder under the temporary directory, removed with its files.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::wstring& Path() const { return path_; }  // ends in a backslash
    std::wstring File(const wchar_t* name) const { return path_ + name; }

private:
    std::wstring path_;
};

// The header of 32-bit pixels with rows from the top, for GetDIBits and DIB
// sections that a test reads pixel by pixel.
BITMAPINFO TopDownRgb32(int width, int height);

std::vector<unsigned char> ReadAllBytes(const std::wstring& path);
bool WriteAllBytes(const std::wstring& path, const void* data, size_t size);
bool FileExists(const std::wstring& path);
// The bytes of a UTF-16LE file with its mark FF FE: the form of the profile
// and message files the driver side writes.
std::vector<unsigned char> Utf16File(const std::wstring& text);

// Registry read-back; false when the value is missing or of another type.
bool ReadRegDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD* value);
bool ReadRegString(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring* value);
void DeleteRegTree(HKEY root, const wchar_t* key);

// Runs a command line and returns what it wrote to standard output; the exit
// code goes to *exitCode (-1 on time-out).
std::string RunCapture(const std::wstring& commandLine, DWORD timeoutMs, int* exitCode);
