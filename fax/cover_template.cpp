#include "fax/cover_template.h"

namespace {

constexpr CoverPageRecord Text(int32_t size, int32_t x, int32_t y)
{
    return {kCoverText, size, x, y, 0, 0, 1, {}};
}

constexpr CoverPageRecord Line(int32_t width, int32_t x, int32_t y, int32_t x2, int32_t y2)
{
    return {kCoverLine, width, x, y, x2, y2, 1, {}};
}

constexpr const char16_t* kLabels = u"SMTextOut";
constexpr const char16_t* kSender = u"SenderInformation";
constexpr const char16_t* kNothing = u"nothing";

// The title and the fax number label read the same key.
constexpr CoverTextSource kTextSources[kCoverTextRecords] = {
    {kLabels, u"FAX", u"FAX"},     {kLabels, u"FROM", u"FROM"}, {kSender, u"Name", kNothing},
    {kLabels, u"COM", u"COM"},     {kSender, u"Com", kNothing}, {kLabels, u"DEP", u"DEP"},
    {kSender, u"Dep", kNothing},   {kLabels, u"TEL", u"TEL"},   {kSender, u"Tel", kNothing},
    {kLabels, u"FAX", u"FAX"},     {kSender, u"FaxNum", kNothing},
    {kLabels, u"MESG", u"MESG"},
};

} // namespace

const CoverPageForm kCoverPageA4 = {
    {{
        Text(120, 200, 200),
        Text(55, 230, 785),  Text(50, 1000, 805),
        Text(55, 230, 1040), Text(50, 1000, 1060),
        Text(55, 230, 1290), Text(50, 1000, 1310),
        Text(55, 230, 1540), Text(50, 1000, 1560),
        Text(55, 230, 1790), Text(50, 1000, 1810),
        Text(60, 300, 2160),
        Line(5, 50, 120, 1650, 120),
        Line(3, 310, 163, 1600, 163),
        Line(3, 310, 204, 1600, 204),
        Line(3, 310, 245, 1600, 245),
        Line(3, 310, 286, 1600, 286),
        Line(3, 310, 327, 1600, 327),
        Line(5, 50, 405, 1650, 405),
    }},
    {350, 2560, 200, 40},
};

const CoverPageForm kCoverPageB4 = {
    {{
        Text(113, 200, 190),
        Text(55, 230, 800),  Text(55, 1100, 800),
        Text(55, 230, 1050), Text(55, 1100, 1050),
        Text(55, 230, 1300), Text(55, 1100, 1300),
        Text(55, 230, 1550), Text(55, 1100, 1550),
        Text(55, 230, 1800), Text(55, 1100, 1800),
        Text(60, 400, 2200),
        Line(5, 50, 110, 1950, 110),
        Line(3, 340, 163, 1900, 163),
        Line(3, 340, 204, 1900, 204),
        Line(3, 340, 245, 1900, 245),
        Line(3, 340, 286, 1900, 286),
        Line(3, 340, 327, 1900, 327),
        Line(5, 50, 403, 1950, 403),
    }},
    {350, 2630, 275, 55},
};

const CoverPageForm kCoverPageA3 = {
    {{
        Text(120, 200, 205),
        Text(55, 230, 800),  Text(55, 1200, 800),
        Text(55, 230, 1055), Text(55, 1200, 1055),
        Text(55, 230, 1305), Text(55, 1200, 1305),
        Text(55, 230, 1555), Text(55, 1200, 1555),
        Text(55, 230, 1805), Text(55, 1200, 1805),
        Text(60, 400, 2200),
        Line(5, 60, 115, 2370, 115),
        Line(3, 400, 164, 2340, 164),
        Line(3, 400, 205, 2340, 205),
        Line(3, 400, 246, 2340, 246),
        Line(3, 400, 287, 2340, 287),
        Line(3, 400, 328, 2340, 328),
        Line(5, 60, 403, 2370, 403),
    }},
    {350, 2560, 275, 55},
};

CoverTextSource FAX_CoverTextSource(size_t record)
{
    if (record >= kCoverTextRecords)
        return {nullptr, nullptr, nullptr};
    return kTextSources[record];
}
