// The status item table (where each displayable error's dot lies on the two
// printer pictures) and the arithmetic that places items in the dialog.
#pragma once

#include <array>

constexpr int kStatusItemCount = 48;
constexpr int kMaxShownItems = 12;     // six text slots in each column
constexpr int kPictureSize = 170;      // both printer pictures, in pixels
constexpr int kLowerPictureOffset = 180;  // sort key offset of dots on the lower picture
constexpr int kDotSize = 8;

// Which picture an item's dot lies on.
enum StatusItemKind : int {
    kKindUpper = 0,
    kKindLowerDuplex = 1,  // lower picture, which is then drawn with the duplex unit
    kKindUpperTray = 2,
    kKindLower = 3,
};

struct StatusItem {
    int code;
    int dotX;   // dot's top-left corner relative to its picture; 0: no dot
    int dotY;
    int shown;  // 1 while the item's code is in the shown list
    int kind;
};

using StatusItemTable = std::array<StatusItem, kStatusItemCount>;

extern const StatusItemTable kStatusItemTable;  // the built-in records, none shown

inline bool SM_IsLowerKind(int kind) { return kind == kKindLowerDuplex || kind == kKindLower; }
inline bool SM_HasDot(const StatusItem& item) { return item.dotX > 0 && item.dotY > 0; }

// Clears every shown flag, then sets it on each record whose code is listed.
void SM_MarkStatusItems(StatusItemTable& table, const int* list, int count);

// Picks up to 12 shown records in table order and orders them for the two
// columns: by dotX, then each column by dotY (lower picture below the upper).
// indices receives record positions; returns their number n. The left column
// is the first SM_LeftColumnCount(n) entries.
int SM_SortXYCoordinate(const StatusItemTable& table, int* indices);

inline int SM_LeftColumnCount(int n) { return (n + 1) / 2; }

// Where the pictures lie in a client area of cw x ch pixels.
struct PictureLayout {
    int pictureX;
    int upperY;
    int lowerY;
};
PictureLayout SM_PictureLayout(int cw, int ch);
