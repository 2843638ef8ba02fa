// drvsim fax: writes the fax settings file "str.ini" and the cover message
// file "cover.ini" where mfpsm reads them, as the fax driver does before a
// fax "CreateTextBMP" job. Both are UTF-16LE with FF FE, lines ended by CR LF.
#include <cstdio>
#include <string>
#include <vector>

#include "common/globals.h"
#include "fax/fax_page.h"
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

// The profile functions read a line up to CR or LF, so a value must hold neither.
bool FitsOnOneLine(const std::wstring& text)
{
    return text.find_first_of(L"\r\n") == std::wstring::npos;
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
            if (!FitsOnOneLine(value))
                return DrvsimFail(L"fax: %ls must be one line", option.c_str());
            out->sender.emplace_back(t.key, value);
        }
        if (option == L"--label") {
            known = true;
            size_t eq = value.find(L'=');
            std::wstring key = value.substr(0, eq);
            if (eq == std::wstring::npos || !IsLabelKey(key))
                return DrvsimFail(L"fax: --label takes KEY=TEXT with KEY one of FAX FROM COM DEP TEL MESG, not '%ls'",
                                  value.c_str());
            if (!FitsOnOneLine(value))
                return DrvsimFail(L"fax: --label must be one line");
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

std::wstring SettingsText(const FaxArgs& a)
{
    std::wstring text = L"[DataForSM]\r\n";
    text += L"PaperSize=" + std::to_wstring(a.paper) + L"\r\n";
    text += L"enableCoverPage=" + std::to_wstring(a.cover) + L"\r\n";
    text += L"Orientation=" + std::to_wstring(a.orientation) + L"\r\n";
    text += L"Xres=" + std::to_wstring(a.xres) + L"\r\n";
    text += L"Yres=" + std::to_wstring(a.yres) + L"\r\n";
    if (!a.sender.empty()) {
        text += L"[SenderInformation]\r\n";
        for (const auto& s : a.sender)
            text += s.first + L"=" + s.second + L"\r\n";
    }
    if (!a.labels.empty()) {
        text += L"[SMTextOut]\r\n";
        for (const auto& l : a.labels)
            text += l.first + L"=" + l.second + L"\r\n";
    }
    return text;
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

std::wstring MessageText(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    return text;
}

bool WriteUtf16File(const WCHAR* path, const std::wstring& text)
{
    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

int Fax(const std::vector<std::wstring>& args)
{
    FaxArgs a;
    if (int rc = ParseArgs(args, &a))
        return rc;
    std::vector<std::wstring> lines = a.message;
    if (!a.messageFile.empty() && !ReadMessageLines(a.messageFile, &lines))
        return DrvsimFail(L"fax: cannot read the message file '%ls'", a.messageFile.c_str());

    WCHAR settings[kTextUnits] = L"";
    WCHAR cover[kTextUnits] = L"";
    if (!FAX_GetPathName(settings, kTextUnits, kFaxSettingsFile) || !FAX_GetPathName(cover, kTextUnits, kFaxCoverFile))
        return DrvsimFail(L"fax: the shared documents folder cannot be read");
    if (!WriteUtf16File(settings, SettingsText(a)))
        return DrvsimFail(L"fax: cannot write '%ls'", settings);
    if (!WriteUtf16File(cover, MessageText(lines)))
        return DrvsimFail(L"fax: cannot write '%ls'", cover);
    wprintf(L"%ls\n%ls\n", settings, cover);
    return 0;
}

} // namespace

DRVSIM_COMMAND(fax, L"fax",
               L"[--paper 8|9|12] [--cover 0|1|2] [--orientation N] [--xres N] [--yres N] [--name T] [--com T] "
               L"[--dep T] [--tel T] [--faxnum T] [--label KEY=TEXT]... [--message-file PATH | --message TEXT...]\n"
               L"      (writes str.ini and cover.ini in the shared documents folder)",
               Fax);
