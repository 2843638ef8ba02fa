#include "common/path_names.h"

#include "common/text.h"

std::u16string PATH_FormatStamp(int minute, int second, int milliseconds, int random1, int random2)
{
    std::u16string stamp = MISC_IntToText(minute);
    for (int v : {second, milliseconds, random1, random2}) {
        stamp += u'_';
        stamp += MISC_IntToText(v);
    }
    return stamp;
}

std::u16string PATH_ApplyStamp(std::u16string_view path, std::u16string_view stamp)
{
    size_t dot = path.rfind(u'.');
    std::u16string out(dot == std::u16string_view::npos ? path : path.substr(0, dot));
    out += stamp;
    return out;
}

std::u16string PATH_SetExtension(std::u16string_view path, std::u16string_view ext)
{
    size_t slash = path.rfind(u'\\');
    size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
    size_t dot = path.rfind(u'.');
    bool hasExtension = dot != std::u16string_view::npos && dot >= nameStart;
    std::u16string out(hasExtension ? path.substr(0, dot) : path);
    out += ext;
    return out;
}

std::u16string PATH_ModuleBaseName(std::u16string_view modulePath)
{
    size_t slash = modulePath.rfind(u'\\');
    std::u16string_view name = slash == std::u16string_view::npos ? modulePath : modulePath.substr(slash + 1);
    size_t dot = name.rfind(u'.');
    return std::u16string(dot == std::u16string_view::npos ? name : name.substr(0, dot));
}

int PATH_RandomOneTo99(int r)
{
    return static_cast<int>(static_cast<double>(r) / 32768.0 * 99.0 + 1.0);
}

std::u16string PATH_AutostartCommand(std::u16string_view exePath)
{
    const std::u16string path(exePath);
    if (exePath.find(u' ') == std::u16string_view::npos)
        return path + u" logon";
    return u"\"" + path + u"\" logon";
}
