// drvsim fax: writes the fax settings file "str.ini" and the cover message
// file "cover.ini" where mfpsm reads them, through the driver-side library,
// as the fax driver does before a fax "CreateTextBMP" job.
#include <cstdio>
#include <string>
#include <vector>

#include "driverside/mfpsm_driver.h"
#include "tools/drvsim/drvsim.h"

namespace {

struct FaxArgs {
    long long paper = 9;
    long long cover = 1;
    long long orientation = 0;
    long long xres = 204;
    long long yres = 196;
    std::vector<std::pair<std::wstring, std::wstring>> sender;  // key, text
    std::vector<std::pair<std::wstring, std::wstring>> labels;
    std::vector<std::wstring> message;
    std::wstring messageFile;
};

const wchar_t* const kLabelKeys[] = {L"FAX", L"FROM", L"COM", L"DEP", L"TEL", L"MESG"};

bool IsLabelKey(const std::wstring& key)
{
    for (const wchar_t* k : kLabelKeys)
        if (key == k)
            return true;
    return false;
}

bool IsOneOf(long long value, std::initializer_list<long long> allowed)
{
    for (long long a : allowed)
        if (value == a)
            return true;
    return false;
}

int ParseArgs(const std::vector<std::wstring>& args, FaxArgs* out)
{
    struct NumberOption {
        const wchar_t* name;
        long long* value;
    } numbers[] = {
        {L"--paper", &out->paper},   {L"--cover", &out->cover}, {L"--orientation", &out->orientation},
        {L"--xres", &out->xres},     {L"--yres", &out->yres},
    };
    struct TextOption {
        const wchar_t* name;
        const wchar_t* key;
    } texts[] = {
        {L"--name", L"Name"}, {L"--com", L"Com"}, {L"--dep", L"Dep"}, {L"--tel", L"Tel"}, {L"--faxnum", L"FaxNum"},
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& option = args[i];
        if (option == L"--message") {
            while (i + 1 < args.size() && args[i + 1].compare(0, 2, L"--") != 0)
                out->message.push_back(args[++i]);
            continue;
        }
        if (i + 1 >= args.size())
            return DrvsimFail(L"fax: %ls needs a value", option.c_str());
        const std::wstring& value = args[++i];
        bool known = false;
        for (const NumberOption& n : numbers) {
            if (option != n.name)
                continue;
            known = true;
            if (!DrvsimParseInt(value, -2147483647LL - 1, 2147483647LL, n.value))
                return DrvsimFail(L"fax: %ls takes a number, not '%ls'", option.c_str(), value.c_str());
        }
        for (const TextOption& t : texts) {
            if (option != t.name)
                continue;
            known = true;
            out->sender.emplace_back(t.key, value);
        }
        if (option == L"--label") {
            known = true;
            size_t eq = value.find(L'=');
            std::wstring key = value.substr(0, eq);
            if (eq == std::wstring::npos || !IsLabelKey(key))
                return DrvsimFail(L"fax: --label takes KEY=TEXT with KEY one of FAX FROM COM DEP TEL MESG, not '%ls'",
                                  value.c_str());
            out->labels.emplace_back(key, value.substr(eq + 1));
        }
        if (option == L"--message-file") {
            known = true;
            out->messageFile = value;
        }
        if (!known)
            return DrvsimFail(L"fax: unknown option '%ls'", option.c_str());
    }
    if (!IsOneOf(out->paper, {8, 9, 12}))
        return DrvsimFail(L"fax: --paper is 8 (A3), 9 (A4) or 12 (B4), not %lld", out->paper);
    if (!IsOneOf(out->cover, {0, 1, 2}))
        return DrvsimFail(L"fax: --cover is 0 (none), 1 (cover page) or 2 (From: line), not %lld", out->cover);
    if (!out->messageFile.empty() && !out->message.empty())
        return DrvsimFail(L"fax: give --message-file or --message, not both");
    return 0;
}

// The text given for key, or null when it was not given (the last one
// counts when it was given twice).
const WCHAR* TextOf(const std::vector<std::pair<std::wstring, std::wstring>>& texts, const wchar_t* key)
{
    const WCHAR* text = nullptr;
    for (const auto& t : texts) {
        if (t.first == key)
            text = t.second.c_str();
    }
    return text;
}

MfpsmDrvFax FaxOf(const FaxArgs& a, const std::vector<const WCHAR*>& lines)
{
    MfpsmDrvFax fax = {};
    fax.paperSize = static_cast<LONG>(a.paper);
    fax.coverPage = static_cast<LONG>(a.cover);
    fax.orientation = static_cast<LONG>(a.orientation);
    fax.xres = static_cast<LONG>(a.xres);
    fax.yres = static_cast<LONG>(a.yres);
    fax.name = TextOf(a.sender, L"Name");
    fax.company = TextOf(a.sender, L"Com");
    fax.department = TextOf(a.sender, L"Dep");
    fax.telephone = TextOf(a.sender, L"Tel");
    fax.faxNumber = TextOf(a.sender, L"FaxNum");
    fax.labelFax = TextOf(a.labels, L"FAX");
    fax.labelFrom = TextOf(a.labels, L"FROM");
    fax.labelCompany = TextOf(a.labels, L"COM");
    fax.labelDepartment = TextOf(a.labels, L"DEP");
    fax.labelTelephone = TextOf(a.labels, L"TEL");
    fax.labelMessage = TextOf(a.labels, L"MESG");
    fax.messageLines = lines.data();
    fax.lineCount = static_cast<DWORD>(lines.size());
    return fax;
}

// The message file given as UTF-8 text: each of its lines becomes a line.
bool ReadMessageLines(const std::wstring& path, std::vector<std::wstring>* lines)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return false;
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.append(chunk, n);
    bool ok = !ferror(file);
    fclose(file);
    if (!ok)
        return false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        size_t stop = end == std::string::npos ? bytes.size() : end;
        std::string line = bytes.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::wstring wide(line.size(), L'\0');
        int units = line.empty() ? 0
                                 : MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                                       &wide[0], static_cast<int>(wide.size()));
        wide.resize(static_cast<size_t>(units));
        lines->push_back(wide);
        start = stop + 1;
    }
    return true;
}

int Fax(const std::vector<std::wstring>& args)
{
    FaxArgs a;
    if (int rc = ParseArgs(args, &a))
        return rc;
    std::vector<std::wstring> lines = a.message;
    if (!a.messageFile.empty() && !ReadMessageLines(a.messageFile, &lines))
        return DrvsimFail(L"fax: cannot read the message file '%ls'", a.messageFile.c_str());

    std::vector<const WCHAR*> pointers;
    for (const std::wstring& line : lines)
        pointers.push_back(line.c_str());
    MfpsmDrvFax fax = FaxOf(a, pointers);
    if (int code = DrvsimResult(MfpsmDrvWriteFaxFiles(&fax), L"fax: the fax files were not written"))
        return code;
    WCHAR settings[MAX_PATH], cover[MAX_PATH];
    if (MfpsmDrvSharedPath(L"str.ini", settings, MAX_PATH) == ERROR_SUCCESS &&
        MfpsmDrvSharedPath(L"cover.ini", cover, MAX_PATH) == ERROR_SUCCESS)
        wprintf(L"%ls\n%ls\n", settings, cover);
    return 0;
}

} // namespace

DRVSIM_COMMAND(fax, L"fax",
               L"[--paper 8|9|12] [--cover 0|1|2] [--orientation N] [--xres N] [--yres N] [--name T] [--com T] "
               L"[--dep T] [--tel T] [--faxnum T] [--label KEY=TEXT]... [--message-file PATH | --message TEXT...]\n"
               L"      (writes str.ini and cover.ini in the shared documents folder)",
               Fax);
