#include "display/status_items.h"

#include <utility>

const StatusItemTable kStatusItemTable = {{
    {1, 0, 0, 0, 0},      {2, 115, 118, 0, 0},  {3, 0, 0, 0, 0},      {4, 115, 118, 0, 0},
    {5, 92, 101, 0, 0},   {6, 119, 90, 0, 0},   {7, 0, 0, 0, 0},      {32, 0, 0, 0, 0},
    {33, 0, 0, 0, 0},     {34, 0, 0, 0, 0},     {35, 0, 0, 0, 0},     {48, 0, 0, 0, 0},
    {80, 94, 83, 0, 0},   {112, 0, 0, 0, 0},    {117, 0, 0, 0, 0},    {118, 0, 0, 0, 0},
    {126, 0, 0, 0, 0},    {65535, 0, 0, 0, 0},  {135, 119, 88, 0, 0}, {136, 119, 88, 0, 0},
    {256, 0, 0, 0, 0},    {257, 28, 113, 0, 1}, {258, 0, 0, 0, 0},    {259, 0, 0, 0, 0},
    {260, 92, 70, 0, 0},  {261, 94, 41, 0, 0},  {262, 36, 132, 0, 1}, {263, 76, 78, 0, 1},
    {264, 76, 100, 0, 1}, {265, 94, 58, 0, 0},  {265, 58, 88, 0, 3},  {266, 74, 80, 0, 1},
    {267, 94, 71, 0, 0},  {268, 91, 115, 0, 0}, {269, 94, 71, 0, 0},  {270, 91, 115, 0, 0},
    {271, 0, 0, 0, 0},    {272, 0, 0, 0, 0},    {273, 0, 0, 0, 0},    {274, 0, 0, 0, 0},
    {276, 0, 0, 0, 0},    {275, 0, 0, 0, 0},    {277, 0, 0, 0, 0},    {278, 91, 137, 0, 2},
    {279, 91, 141, 0, 2}, {280, 91, 115, 0, 0}, {281, 91, 137, 0, 2}, {282, 0, 0, 0, 0},
}};

namespace {

int SortKey(const StatusItem& item)
{
    return item.dotY + (SM_IsLowerKind(item.kind) ? kLowerPictureOffset : 0);
}

// Selection sort of indices[first, last) by dotY key. The two columns break
// ties differently: in the left one the later of equal keys comes first, in
// the right one the earlier stays first.
void SortColumn(const StatusItemTable& table, int* indices, int first, int last, bool laterWinsTies)
{
    for (int p = first; p < last; ++p) {
        int best = p;
        for (int k = p + 1; k < last; ++k) {
            int key = SortKey(table[indices[k]]);
            int bestKey = SortKey(table[indices[best]]);
            if (key < bestKey || (laterWinsTies && key == bestKey))
                best = k;
        }
        std::swap(indices[best], indices[p]);
    }
}

} // namespace

void SM_MarkStatusItems(StatusItemTable& table, const int* list, int count)
{
    for (StatusItem& item : table)
        item.shown = 0;
    for (int i = 0; i < count; ++i) {
        for (StatusItem& item : table) {
            if (item.code == list[i])
                item.shown = 1;
        }
    }
}

int SM_SortXYCoordinate(const StatusItemTable& table, int* indices)
{
    int n = 0;
    for (int i = 0; i < kStatusItemCount && n < kMaxShownItems; ++i) {
        if (table[i].shown == 1)
            indices[n++] = i;
    }
    for (int p = 0; p < n; ++p) {
        int best = p;
        for (int k = p + 1; k < n; ++k) {
            if (table[indices[k]].dotX < table[indices[best]].dotX)
                best = k;
        }
        std::swap(indices[best], indices[p]);
    }
    int m = SM_LeftColumnCount(n);
    SortColumn(table, indices, 0, m, true);
    SortColumn(table, indices, m, n, false);
    return n;
}

PictureLayout SM_PictureLayout(int cw, int ch, int dpi)
{
    int size = SM_ScaleToDpi(kPictureSize, dpi);
    int half = ch / 2;
    int upperY = (half - size) / 2;
    return {(cw - size) / 2,
            upperY,
            half + upperY,
            dpi,
            size,
            SM_ScaleToDpi(kDotSize, dpi),
            SM_ScaleToDpi(kFramePad, dpi),
            SM_ScaleToDpi(kLineWidth, dpi)};
}

ItemMarks SM_ItemMarks(const StatusItem& item, const PictureLayout& layout, bool leftColumn)
{
    int baseY = SM_IsLowerKind(item.kind) ? layout.lowerY : layout.upperY;
    int dotX = layout.pictureX + SM_ScaleToDpi(item.dotX, layout.dpi);
    int dotY = baseY + SM_ScaleToDpi(item.dotY, layout.dpi);
    int edgeX = leftColumn ? layout.pictureX : layout.pictureX + layout.pictureSize;
    int half = layout.dotSize / 2;
    return {dotX, dotY, edgeX, dotY + half, dotX + half};
}
