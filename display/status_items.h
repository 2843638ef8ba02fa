// The status item table (where each displayable error's dot lies on the two
// printer pictures) and the arithmetic that places items in the dialog.
#pragma once

#include <array>

constexpr int kStatusItemCount = 48;
constexpr int kMaxShownItems = 12;     // six text slots in each column
constexpr int kPictureSize = 170;      // both printer pictures, in pixels
constexpr int kLowerPictureOffset = 180;  // sort key offset of dots on the lower picture
constexpr int kDotSize = 8;
constexpr int kLineWidth = 1;          // the leader lines

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

// Display scaling. The table's dot positions and the sizes above are pixels
// at 96 DPI; a dialog at another DPI draws everything scaled by dpi / 96,
// rounded half up, by this one function.
constexpr int kBaseDpi = 96;
constexpr int kFramePad = 2;           // a slot's blue frame reaches this far out
inline int SM_ScaleToDpi(int value, int dpi) { return (value * dpi + kBaseDpi / 2) / kBaseDpi; }

// Where the pictures lie in a client area of cw x ch pixels, and the sizes
// of what is drawn around them, at the given DPI.
struct PictureLayout {
    int pictureX;
    int upperY;
    int lowerY;
    int dpi;
    int pictureSize;
    int dotSize;
    int framePad;
    int lineWidth;
};
PictureLayout SM_PictureLayout(int cw, int ch, int dpi = kBaseDpi);

// An item's dot (top-left corner and size) and its leader line: from the
// slot's anchor to (edgeX, lineY) on the picture's near edge, then along
// lineY to the dot's centre at lineEndX. Only for items with a dot.
struct ItemMarks {
    int dotX;
    int dotY;
    int edgeX;
    int lineY;
    int lineEndX;
};
ItemMarks SM_ItemMarks(const StatusItem& item, const PictureLayout& layout, bool leftColumn);
