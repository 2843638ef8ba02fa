// The status dialog built from the real resources: its controls, captions,
// buttons, closing, and the pixels drawn for the items.
#include <gtest/gtest.h>

#include "display/status_draw.h"
#include "display/status_items.h"
#include "monitor/spooler.h"
#include "monitor_env.h"
#include "resources/resource.h"

namespace {

std::wstring TextOf(HWND window)
{
    wchar_t text[600] = L"";
    GetWindowTextW(window, text, 600);
    return text;
}

std::wstring ItemText(int id)
{
    return TextOf(GetDlgItem(g_hStatusDlg, id));
}

int Show(std::initializer_list<int> codes)
{
    int list[kMaxErrCodes] = {};
    int count = 0;
    for (int code : codes)
        list[count++] = code;
    return SM_ShowPrinterStatus(g_hMonitorWnd, list, count);
}

RECT DialogUnits(int x, int y, int cx, int cy)
{
    RECT r = {x, y, x + cx, y + cy};
    MapDialogRect(g_hStatusDlg, &r);
    return r;
}

RECT ClientRectOf(int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(g_hStatusDlg, id), &r);
    MapWindowPoints(nullptr, g_hStatusDlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The dialog manager and MapDialogRect may round a coordinate differently.
void ExpectRect(const RECT& got, const RECT& want, int id)
{
    EXPECT_NEAR(got.left, want.left, 1) << id;
    EXPECT_NEAR(got.top, want.top, 1) << id;
    EXPECT_NEAR(got.right, want.right, 1) << id;
    EXPECT_NEAR(got.bottom, want.bottom, 1) << id;
}

bool IsBlue(COLORREF c)
{
    return c == RGB(0, 0, 255);
}

// Reads a pixel of the dialog as drawn on the screen.
COLORREF PixelAt(int x, int y)
{
    HDC dc = GetDC(g_hStatusDlg);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(g_hStatusDlg, dc);
    return c;
}

PictureLayout Layout()
{
    RECT client = {};
    GetClientRect(g_hStatusDlg, &client);
    return SM_PictureLayout(client.right, client.bottom);
}

} // namespace

TEST(StatusDialog, IsBuiltAsDocumented)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);
    HWND dialog = g_hStatusDlg;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), L"MFP Status Monitor");
    LONG style = GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU) << "no close box";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), g_hMonitorWnd);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);

    for (int i = 0; i < 6; ++i) {
        ExpectRect(ClientRectOf(1001 + i), DialogUnits(10, 12 + 32 * i, 100, 20), 1001 + i);
        ExpectRect(ClientRectOf(1007 + i), DialogUnits(230, 12 + 32 * i, 100, 20), 1007 + i);
        EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, 1001 + i), GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    }
    ExpectRect(ClientRectOf(IDC_GROUP), DialogUnits(5, 0, 330, 229), IDC_GROUP);
    ExpectRect(ClientRectOf(IDC_CONTINUE), DialogUnits(230, 204, 45, 18), IDC_CONTINUE);
    ExpectRect(ClientRectOf(IDC_DELETE), DialogUnits(285, 204, 45, 18), IDC_DELETE);
    EXPECT_EQ(ItemText(IDC_GROUP), L"Status Message");
    EXPECT_EQ(ItemText(IDC_DELETE), L"Delete");
    EXPECT_EQ(ItemText(IDC_CONTINUE), L"Continue");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_DELETE), GWL_STYLE) & WS_TABSTOP);

    RECT client = {};
    GetClientRect(dialog, &client);
    RECT whole = DialogUnits(0, 0, 340, 234);
    EXPECT_EQ(client.right, whole.right);
    EXPECT_EQ(client.bottom, whole.bottom);

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    GetObjectW(font, sizeof(lf), &lf);
    EXPECT_STREQ(lf.lfFaceName, L"Courier New");
}

TEST(StatusDialog, CaptionsComeFromTheUITextFile)
{
    MonitorEnv env;
    env.WriteUI(L"group", L"Statusmeldung");
    env.WriteUI(L"btn001", L"L\u00F6schen");
    env.WriteUI(L"btn002", L"Weiter");
    env.WriteUI(L"msg011", L"Falsches Papier.");
    ASSERT_EQ(Show({35}), 1);
    EXPECT_EQ(ItemText(IDC_GROUP), L"Statusmeldung");
    EXPECT_EQ(ItemText(IDC_DELETE), L"L\u00F6schen");
    EXPECT_EQ(ItemText(IDC_CONTINUE), L"Weiter");
    EXPECT_EQ(ItemText(1001), L"Falsches Papier.");
    EXPECT_EQ(TextOf(g_hStatusDlg), L"MFP Status Monitor");
}

TEST(StatusDialog, ContinueOnlyForAFirstCodeThatLetsTheJobGoOn)
{
    MonitorEnv env;
    HWND continueButton = nullptr, deleteButton = nullptr;

    ASSERT_EQ(Show({33, 35}), 1);
    continueButton = GetDlgItem(g_hStatusDlg, IDC_CONTINUE);
    deleteButton = GetDlgItem(g_hStatusDlg, IDC_DELETE);
    EXPECT_FALSE(IsWindowVisible(continueButton));
    EXPECT_EQ(GetFocus(), deleteButton);

    ASSERT_EQ(Show({35, 33}), 1);
    EXPECT_TRUE(IsWindowVisible(continueButton));
    EXPECT_EQ(GetFocus(), continueButton);
    EXPECT_TRUE(IsWindowVisible(g_hMonitorWnd)) << "the monitor window is shown with the dialog";

    ASSERT_EQ(Show({277}), 1);
    EXPECT_TRUE(IsWindowVisible(continueButton));

    ASSERT_EQ(Show({5, 277}), 1);
    EXPECT_FALSE(IsWindowVisible(continueButton));
    EXPECT_EQ(GetFocus(), deleteButton);
}

TEST(StatusDialog, FillsTheSlotsByColumnAndEmptiesThemOnRefresh)
{
    MonitorEnv env;
    ASSERT_EQ(Show({5, 257, 33}), 1);
    EXPECT_EQ(ItemText(1001), L"Paper Jam.");
    EXPECT_EQ(ItemText(1002), L"Duplex modul error.");
    EXPECT_EQ(ItemText(1007), L"Front cover open.");

    ASSERT_EQ(Show({265}), 1);
    EXPECT_EQ(ItemText(1001), L"Rear cover open.");
    EXPECT_EQ(ItemText(1007), L"Rear cover open.");
    EXPECT_EQ(ItemText(1002), L"");

    ASSERT_EQ(Show({129}), 1) << "a code without a record shows the dialog with no slot in use";
    for (int id = 1001; id <= 1012; ++id)
        EXPECT_EQ(ItemText(id), L"") << id;
}

TEST(StatusDialog, UsesTheUICodePageOnThe9xFamily)
{
    MonitorEnv env;
    OsVersionCode = k9x;
    g_UICodePage = 1252;
    env.WriteUI(L"msg009", L"Papierstau \u00FC.");
    env.WriteUI(L"msg005", L"\u4E2D");  // no character of code page 1252
    ASSERT_EQ(Show({33, 5}), 1);
    EXPECT_EQ(ItemText(1001), L"Papierstau \u00FC.");
    EXPECT_EQ(ItemText(1007), L"?") << "no best-fit guess: the code page's default character";
}

TEST(StatusDialog, SameListOrShowSMZeroChangesNothing)
{
    MonitorEnv env;
    env.Write(L"ShowSM", L"0");
    EXPECT_EQ(Show({33}), 1);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(g_PrevErrCodes[0], 0);
    env.Write(L"ShowSM", L"1");
    ASSERT_EQ(Show({33}), 1);
    SetDlgItemTextW(g_hStatusDlg, 1001, L"marker");
    EXPECT_EQ(Show({33}), 1);
    EXPECT_EQ(ItemText(1001), L"marker") << "an equal list is not drawn again";
}

TEST(StatusDialog, DeleteDeletesTheJobAndClosesWithReset)
{
    MonitorEnv env;
    SM_SetSpoolerStatusByCode(33);
    wcscpy(g_szStoreName, L"kept until a reset");
    ASSERT_EQ(Show({33, 5}), 1);
    env.Write(L"Message", L"1027");
    SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_FALSE(env.JobQueued(kJob));
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 5}}));
    EXPECT_EQ(env.Read(L"Message"), L"0");
    EXPECT_EQ(env.Spool().Status(kPrinter), 0u);
    EXPECT_EQ(g_PrevErrCodes[0], 0);
    EXPECT_STREQ(g_szStoreName, L"");
    EXPECT_FALSE(IsWindowVisible(g_hMonitorWnd));
    EXPECT_TRUE(IsWindow(g_hMonitorWnd)) << "the NT monitor stays resident";
}

TEST(StatusDialog, DeleteOnThe9xFamilyCancelsAndEndsTheMonitor)
{
    MonitorEnv env;
    OsVersionCode = k9x;
    HWND monitor = g_hMonitorWnd;
    ASSERT_EQ(Show({33}), 1);
    SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 3}}));
    EXPECT_EQ(env.Read(L"Message"), L"0");
    EXPECT_FALSE(IsWindow(monitor));
}

TEST(StatusDialog, ContinueAsksToGoOnWithoutReset)
{
    MonitorEnv env;
    SM_SetSpoolerStatusByCode(35);
    env.Write(L"Message", L"1027");
    ASSERT_EQ(Show({35}), 1);
    SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(IDC_CONTINUE, BN_CLICKED), 0);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(env.Read(L"ContinuePrint"), L"1");
    EXPECT_EQ(env.Read(L"Message"), L"1027");
    EXPECT_EQ(env.Spool().Status(kPrinter), 0x40u);
    EXPECT_TRUE(env.JobQueued(kJob));
    EXPECT_EQ(g_PrevErrCodes[0], 35) << "the same list does not come back";
    EXPECT_TRUE(IsWindow(g_hMonitorWnd));
}

TEST(StatusDialog, ContinueStaysOpenWhenTheAnswerCannotBeWritten)
{
    MonitorEnv env;
    ASSERT_EQ(Show({35}), 1);
    std::wstring unwritable = env.StatusFile() + L"\\no-such-folder\\StatusMonitorV3.ini";
    wcscpy(g_szStatusFile, unwritable.c_str());
    SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(IDC_CONTINUE, BN_CLICKED), 0);
    EXPECT_NE(g_hStatusDlg, nullptr) << "the user may press again";
}

TEST(StatusDialog, CloseRequestClosesWithoutReset)
{
    MonitorEnv env;
    env.Write(L"Message", L"1027");
    ASSERT_EQ(Show({33}), 1);
    SendMessageW(g_hStatusDlg, WM_CLOSE, 0, 0);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(env.Read(L"Message"), L"1027");
    EXPECT_TRUE(env.JobQueued(kJob));
    EXPECT_EQ(g_PrevErrCodes[0], 33);
}

TEST(StatusDrawing, BlueFrameLineAndDotForAnItemWithADot)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33, 5}), 1);
    PictureLayout layout = Layout();
    int dotCentreX = layout.pictureX + 92 + 4, dotCentreY = layout.upperY + 101 + 4;
    EXPECT_TRUE(IsBlue(PixelAt(dotCentreX, dotCentreY))) << std::hex << PixelAt(dotCentreX, dotCentreY);
    EXPECT_TRUE(IsBlue(PixelAt(layout.pictureX + kPictureSize, dotCentreY))) << "the line meets the picture edge";
    EXPECT_TRUE(IsBlue(PixelAt(layout.pictureX + 120, dotCentreY))) << "and runs on to the dot";

    RECT right = ClientRectOf(1007);
    EXPECT_TRUE(IsBlue(PixelAt(right.left - 2, right.top + 3))) << "frame of the right slot";
    RECT left = ClientRectOf(1001);
    EXPECT_TRUE(IsBlue(PixelAt(left.right + 1, left.top - 2))) << "frame of the left slot";
    EXPECT_FALSE(IsBlue(PixelAt(left.right + 10, left.top + (left.bottom - left.top) / 2)))
        << "code 33 has no line";
}

TEST(StatusDrawing, NoDotForAnItemWithoutOne)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);
    PictureLayout layout = Layout();
    EXPECT_FALSE(IsBlue(PixelAt(layout.pictureX + 92 + 4, layout.upperY + 101 + 4)));
    for (int x = layout.pictureX; x < layout.pictureX + kPictureSize; x += 2) {
        for (int y = layout.upperY; y < layout.lowerY + kPictureSize; y += 2)
            ASSERT_FALSE(IsBlue(PixelAt(x, y))) << x << "," << y;
    }
}

TEST(StatusDrawing, LowerDotsAndTheDuplexPicture)
{
    MonitorEnv env;
    ASSERT_EQ(Show({257}), 1);
    PictureLayout layout = Layout();
    EXPECT_TRUE(IsBlue(PixelAt(layout.pictureX + 28 + 4, layout.lowerY + 113 + 4)));

    // The lower picture of a kind-1 item is the duplex view, pixel for pixel.
    HDC screen = GetDC(g_hStatusDlg);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, kPictureSize, kPictureSize);
    HGDIOBJ old = SelectObject(memory, canvas);
    RECT all = {0, 0, kPictureSize, kPictureSize};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    SM_DrawImage(memory, 0, 0, IDB_LOWER_DUPLEX, IDB_LOWER_MASK, SRCINVERT);
    int differences = 0;
    for (int y = 0; y < 100; y += 3) {  // above the dot and its line
        for (int x = 0; x < kPictureSize; x += 3) {
            if (GetPixel(memory, x, y) != GetPixel(screen, layout.pictureX + x, layout.lowerY + y))
                ++differences;
        }
    }
    EXPECT_EQ(differences, 0);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(g_hStatusDlg, screen);
}

TEST(StatusDrawing, DrawsAgainWhenTheDialogRepaints)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33, 5}), 1);
    PictureLayout layout = Layout();
    int x = layout.pictureX + 96, y = layout.upperY + 105;
    ASSERT_TRUE(IsBlue(PixelAt(x, y)));

    // Something covers the dialog and goes away again.
    HDC dc = GetDC(g_hStatusDlg);
    RECT client = {};
    GetClientRect(g_hStatusDlg, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(g_hStatusDlg, dc);
    ASSERT_FALSE(IsBlue(PixelAt(x, y)));
    SetDlgItemTextW(g_hStatusDlg, 1007, L"kept");
    RedrawWindow(g_hStatusDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(IsBlue(PixelAt(x, y)));
    EXPECT_EQ(ItemText(1007), L"kept") << "a repaint leaves the slot texts";
    RECT slot = ClientRectOf(1007);
    EXPECT_TRUE(IsBlue(PixelAt(slot.left - 1, slot.top + 2))) << "the frame is drawn again";
    EXPECT_FALSE(IsBlue(PixelAt(slot.left + 1, slot.top + 1))) << "and the slot is painted over its filling";
}

TEST(StatusDrawing, DrawImageLeavesOutAPictureWithoutMask)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 20, 20);
    HGDIOBJ old = SelectObject(memory, canvas);
    RECT all = {0, 0, 20, 20};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(SM_DrawImage(memory, 0, 0, IDB_UPPER, 4242, SRCINVERT), 0);
    EXPECT_EQ(GetPixel(memory, 5, 5), RGB(255, 255, 255));
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
