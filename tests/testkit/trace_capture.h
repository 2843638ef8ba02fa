// The trace facility switched on for a test, into a log file of its own,
// whose lines the test counts.
#pragma once

#include <cwchar>
#include <string>
#include <vector>

#include "common/globals.h"
#include "testkit/wine_test.h"

class TraceCapture {
public:
    TraceCapture() : saved_(g_TraceSwitches)
    {
        g_TraceSwitches.minLevel = 1;
        g_TraceSwitches.channel = 1;
        g_TraceSwitches.channelFlags[0] = 1;
        g_TraceSwitches.logFileFlag = 1;
        wcscpy(g_TraceSwitches.logFilePath, dir_.File(L"trace.log").c_str());
    }
    ~TraceCapture() { g_TraceSwitches = saved_; }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    size_t Count(const std::string& text) const
    {
        std::vector<unsigned char> bytes = ReadAllBytes(dir_.File(L"trace.log"));
        std::string log(bytes.begin(), bytes.end());
        size_t count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

private:
    ScratchDir dir_;
    TraceSwitches saved_;
};
