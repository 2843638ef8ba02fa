#include "spool_state.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

// Fields are tab-separated; tabs, line ends and backslashes inside are escaped.
std::string Escape(const std::wstring& text)
{
    std::string out;
    for (char c : ToUtf8(text)) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

std::wstring Unescape(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        char c = field[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return FromUtf8(out);
}

std::string Hex(const std::vector<unsigned char>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::vector<unsigned char> Unhex(const std::string& text)
{
    std::vector<unsigned char> out;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        out.push_back(static_cast<unsigned char>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::vector<std::string> ReadLines(const std::wstring& path)
{
    std::vector<std::string> lines;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return lines;
    std::string content;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
        content.append(chunk, n);
    fclose(file);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        lines.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

DWORD Number(const std::string& field)
{
    return static_cast<DWORD>(std::stoul(field.empty() ? "0" : field));
}

// A job's fields after its printer's name, as its line keeps them.
SpoolJobSeed JobFrom(const std::vector<std::string>& f)
{
    SpoolJobSeed job;
    job.id = Number(f[2]);
    job.document = Unescape(f[3]);
    job.otherOwner = f[4] == "other";
    if (!f[5].empty())
        job.dataType = Unescape(f[5]);
    job.printing = f[6] == "1";
    job.status = Number(f[7]);
    job.lingers = Number(f[8]);
    return job;
}

std::string JobLine(const char* kind, const std::wstring& printer, const SpoolJobSeed& j)
{
    return std::string(kind) + "\t" + Escape(printer) + "\t" + std::to_string(j.id) + "\t" + Escape(j.document) +
           "\t" + (j.otherOwner ? "other" : "caller") + "\t" + Escape(j.dataType) + "\t" + (j.printing ? "1" : "0") +
           "\t" + std::to_string(j.status) + "\t" + std::to_string(j.lingers) + "\n";
}

} // namespace

std::wstring SpoolDir()
{
    wchar_t dir[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"MFPSM_SPOOL_DIR", dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::wstring path(dir, n);
    if (path.back() != L'\\')
        path += L'\\';
    return path;
}

SpoolLock::SpoolLock()
{
    mutex_ = CreateMutexW(nullptr, FALSE, L"mfpsm-spooler-stand-in");
    if (mutex_)
        WaitForSingleObject(mutex_, 10000);
}

SpoolLock::~SpoolLock()
{
    if (!mutex_)
        return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
}

SpoolState SpoolLoadState(const std::wstring& dir)
{
    SpoolState state;
    for (const std::string& line : ReadLines(dir + L"state.txt")) {
        std::vector<std::string> f = Split(line);
        // Lines written by hand (the demo, the bench) may leave out the
        // fields at the end: rights and failing values, the job's owner,
        // data type and state.
        f.resize(std::max<size_t>(f.size(), 9));
        if (f[0] == "printer" && !f[5].empty()) {
            SpoolPrinterSeed p;
            p.name = Unescape(f[1]);
            p.port = Unescape(f[2]);
            p.attributes = Number(f[3]);
            p.status = Number(f[4]);
            p.refuseOpen = f[5] == "1";
            p.rights = static_cast<SpoolRights>(Number(f[6]));
            p.failValue = Unescape(f[7]);
            p.failDelete = Unescape(f[8]);
            state.printers.push_back(p);
        } else if (f[0] == "job" && !f[2].empty()) {
            if (SpoolPrinterSeed* p = SpoolFindPrinter(state, Unescape(f[1])))
                p->jobs.push_back(JobFrom(f));
        } else if (f[0] == "arriving" && !f[2].empty()) {
            if (SpoolPrinterSeed* p = SpoolFindPrinter(state, Unescape(f[1])))
                p->arriving.push_back(JobFrom(f));
        } else if (f[0] == "data" && !f[3].empty()) {
            if (SpoolPrinterSeed* p = SpoolFindPrinter(state, Unescape(f[1])))
                p->data.push_back({Unescape(f[2]), Number(f[3]), Unhex(f[4])});
        } else if (f[0] == "nextjob") {
            state.nextJob = Number(f[1]);
        } else if (f[0] == "away") {
            state.awayUntil = std::stoull(f[1].empty() ? "0" : f[1]);
        }
    }
    return state;
}

bool SpoolSaveState(const std::wstring& dir, const SpoolState& state)
{
    std::string text = "nextjob\t" + std::to_string(state.nextJob) + "\n";
    if (state.awayUntil)
        text += "away\t" + std::to_string(state.awayUntil) + "\n";
    for (const SpoolPrinterSeed& p : state.printers) {
        text += "printer\t" + Escape(p.name) + "\t" + Escape(p.port) + "\t" + std::to_string(p.attributes) + "\t" +
                std::to_string(p.status) + "\t" + (p.refuseOpen ? "1" : "0") + "\t" +
                std::to_string(static_cast<int>(p.rights)) + "\t" + Escape(p.failValue) + "\t" +
                Escape(p.failDelete) + "\n";
        for (const SpoolJobSeed& j : p.jobs)
            text += JobLine("job", p.name, j);
        for (const SpoolJobSeed& j : p.arriving)
            text += JobLine("arriving", p.name, j);
        for (const SpoolDataValue& d : p.data)
            text += "data\t" + Escape(p.name) + "\t" + Escape(d.name) + "\t" + std::to_string(d.type) + "\t" +
                    Hex(d.data) + "\n";
    }
    FILE* file = _wfopen((dir + L"state.txt").c_str(), L"wb");
    if (!file)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && ok;
}

ULONGLONG SpoolNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ((static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000;
}

SpoolPrinterSeed* SpoolFindPrinter(SpoolState& state, const std::wstring& name)
{
    // Printer names are told apart as Windows tells them, letter case aside.
    for (SpoolPrinterSeed& p : state.printers) {
        if (lstrcmpiW(p.name.c_str(), name.c_str()) == 0)
            return &p;
    }
    return nullptr;
}

void SpoolAppendCall(const std::wstring& dir, const SpoolCall& call)
{
    std::string line = Escape(call.function) + "\t" + Escape(call.printer) + "\t" + (call.ok ? "1" : "0") + "\t" +
                       std::to_string(call.status) + "\t" + std::to_string(call.command) + "\t" +
                       std::to_string(call.job) + "\t" + std::to_string(call.type) + "\t" + Escape(call.name) + "\t" +
                       Hex(call.data) + "\t" + std::to_string(call.access) + "\t" + std::to_string(call.error) + "\t" +
                       Escape(call.dataType) + "\n";
    FILE* file = _wfopen((dir + L"record.txt").c_str(), L"ab");
    if (!file)
        return;
    fwrite(line.data(), 1, line.size(), file);
    fclose(file);
}

std::vector<SpoolCall> SpoolReadCalls(const std::wstring& dir)
{
    std::vector<SpoolCall> calls;
    for (const std::string& line : ReadLines(dir + L"record.txt")) {
        std::vector<std::string> f = Split(line);
        if (f.size() < 12)
            continue;
        SpoolCall c;
        c.function = Unescape(f[0]);
        c.printer = Unescape(f[1]);
        c.ok = f[2] == "1";
        c.status = Number(f[3]);
        c.command = Number(f[4]);
        c.job = Number(f[5]);
        c.type = Number(f[6]);
        c.name = Unescape(f[7]);
        c.data = Unhex(f[8]);
        c.access = Number(f[9]);
        c.error = Number(f[10]);
        c.dataType = Unescape(f[11]);
        calls.push_back(c);
    }
    return calls;
}

std::wstring SpoolJobFile(const std::wstring& dir, DWORD job)
{
    return dir + L"job-" + std::to_wstring(job) + L".bin";
}
