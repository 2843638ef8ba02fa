#include "common/target_name.h"

namespace {

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

char16_t Upper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// "\\.\", "\\?\" and "\??\", with either separator.
bool InDeviceNamespace(std::u16string_view path)
{
    if (path.size() < 4 || !IsSeparator(path[0]) || !IsSeparator(path[3]))
        return false;
    if (IsSeparator(path[1]))
        return path[2] == u'.' || path[2] == u'?';
    return path[1] == u'?' && path[2] == u'?';
}

bool HasDriveLetter(std::u16string_view path)
{
    return path.size() >= 2 && path[1] == u':' && Upper(path[0]) >= u'A' && Upper(path[0]) <= u'Z';
}

bool EqualsUpper(std::u16string_view text, std::u16string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (Upper(text[i]) != upper[i])
            return false;
    }
    return true;
}

// COM and LPT take a digit or a superscript one, two or three.
bool IsPortDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3';
}

// The platform makes a device of these names whatever extension follows and
// whatever spaces or dots end the name.
bool IsDeviceName(std::u16string_view name)
{
    std::u16string_view base = name.substr(0, name.find(u'.'));
    while (!base.empty() && base.back() == u' ')
        base.remove_suffix(1);
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (EqualsUpper(base, device))
            return true;
    }
    return base.size() == 4 && (EqualsUpper(base.substr(0, 3), u"COM") || EqualsUpper(base.substr(0, 3), u"LPT")) &&
           IsPortDigit(base[3]);
}

} // namespace

size_t PATH_FolderLength(std::u16string_view path)
{
    size_t last = path.find_last_of(u"\\/");
    return last == std::u16string_view::npos ? 0 : last + 1;
}

PATH_TargetVerdict PATH_CheckTargetName(std::u16string_view path)
{
    if (path.empty())
        return PATH_TargetVerdict::Empty;
    if (InDeviceNamespace(path))
        return PATH_TargetVerdict::DeviceNamespace;
    size_t colon = path.find(u':', HasDriveLetter(path) ? 2 : 0);
    if (colon != std::u16string_view::npos)
        return PATH_TargetVerdict::StreamName;
    size_t folder = PATH_FolderLength(path);
    if (folder == 0)
        return PATH_TargetVerdict::NoFolder;
    std::u16string_view name = path.substr(folder);
    if (name.empty() || name == u"." || name == u"..")
        return PATH_TargetVerdict::NamesFolder;
    if (IsDeviceName(name))
        return PATH_TargetVerdict::DeviceName;
    return PATH_TargetVerdict::Ok;
}

std::u16string PATH_TempSibling(std::u16string_view folder, uint32_t stamp, size_t maxUnits)
{
    constexpr size_t kMostDigits = 8;
    constexpr size_t kFewestDigits = 4;
    // folder, "~", digits and the terminator.
    if (folder.size() + 1 + kFewestDigits + 1 > maxUnits)
        return {};
    size_t digits = maxUnits - folder.size() - 2;
    if (digits > kMostDigits)
        digits = kMostDigits;
    std::u16string name(folder);
    name += u'~';
    for (size_t i = digits; i-- > 0;)
        name += u"0123456789abcdef"[(stamp >> (4 * i)) & 0xF];
    return name;
}
