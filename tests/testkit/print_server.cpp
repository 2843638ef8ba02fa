#include "testkit/print_server.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "testkit/wine_test.h"

namespace {

// The attributes of an IPP message (a CUPS control file): name and first
// value of each, as raw bytes. A cut or malformed file gives what it holds
// up to the fault; the server writes its files whole, by renaming.
std::map<std::string, std::string> IppAttributes(const std::vector<unsigned char>& bytes)
{
    std::map<std::string, std::string> attributes;
    size_t at = 8;  // version, operation or status, request id
    auto u16 = [&bytes](size_t i) { return static_cast<size_t>(bytes[i] << 8 | bytes[i + 1]); };
    while (at < bytes.size()) {
        unsigned char tag = bytes[at++];
        if (tag == 0x03)  // end of attributes
            break;
        if (tag < 0x10)   // a group begins
            continue;
        if (at + 2 > bytes.size())
            break;
        size_t nameLength = u16(at);
        if (at + 2 + nameLength + 2 > bytes.size())
            break;
        std::string name(bytes.begin() + static_cast<long>(at + 2), bytes.begin() + static_cast<long>(at + 2 + nameLength));
        at += 2 + nameLength;
        size_t valueLength = u16(at);
        if (at + 2 + valueLength > bytes.size())
            break;
        std::string value(bytes.begin() + static_cast<long>(at + 2), bytes.begin() + static_cast<long>(at + 2 + valueLength));
        at += 2 + valueLength;
        if (!name.empty())  // a name of its own: not a further value of the one before
            attributes.emplace(name, value);
    }
    return attributes;
}

int IppInteger(const std::string& value)
{
    if (value.size() != 4)
        return 0;
    return static_cast<int>(static_cast<unsigned char>(value[0]) << 24 | static_cast<unsigned char>(value[1]) << 16 |
                            static_cast<unsigned char>(value[2]) << 8 | static_cast<unsigned char>(value[3]));
}

std::wstring JobFile(const wchar_t* kind, DWORD id, const wchar_t* suffix)
{
    wchar_t name[32];
    swprintf(name, 32, L"%ls%05lu%ls", kind, id, suffix);
    return PrintServerDir() + L"spool\\" + name;
}

// The job ids of the control files in the spool folder.
std::vector<DWORD> ControlFileIds()
{
    std::vector<DWORD> ids;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((PrintServerDir() + L"spool\\c*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return ids;
    do {
        wchar_t* end = nullptr;
        unsigned long id = wcstoul(found.cFileName + 1, &end, 10);
        if (id > 0 && end && *end == L'\0')
            ids.push_back(static_cast<DWORD>(id));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(ids.begin(), ids.end());
    return ids;
}

ServerJob ReadJob(DWORD id)
{
    std::map<std::string, std::string> attributes = IppAttributes(ReadAllBytes(JobFile(L"c", id, L"")));
    ServerJob job;
    job.id = id;
    const std::string& uri = attributes["printer-uri"];
    job.queue = uri.substr(uri.rfind('/') + 1);
    job.name = attributes["job-name"];
    job.format = attributes["document-format"];
    job.state = IppInteger(attributes["job-state"]);
    job.data = ReadAllBytes(JobFile(L"d", id, L"-001"));
    return job;
}

} // namespace

std::wstring PrintServerDir()
{
    wchar_t socket[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"CUPS_SERVER", socket, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::wstring path = L"Z:" + std::wstring(socket, n);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path.substr(0, path.rfind(L'\\') + 1);
}

std::vector<ServerJob> PrintServerJobs()
{
    std::vector<ServerJob> jobs;
    for (DWORD id : ControlFileIds())
        jobs.push_back(ReadJob(id));
    return jobs;
}

DWORD LastServerJobId()
{
    std::vector<DWORD> ids = ControlFileIds();
    return ids.empty() ? 0 : ids.back();
}

ServerJob WaitForServerJob(DWORD after, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        for (DWORD id : ControlFileIds()) {
            if (id <= after)
                continue;
            ServerJob job = ReadJob(id);
            if (job.state == kJobCompleted)
                return job;
        }
        if (GetTickCount() - start >= timeoutMs)
            return {};
        Sleep(50);
    }
}
