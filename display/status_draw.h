// Drawing of the status dialog: the two printer pictures, and for each shown
// item its text slot in a blue frame, tied by a blue line to a blue dot on
// the part of the printer its error names.
#pragma once

#include <windows.h>

#include "display/picture_shapes.h"

constexpr COLORREF kItemBlue = RGB(0, 0, 255);

// Draws the pictures and the shown items into the status dialog and sets the
// slot texts. Nothing without a dialog or its device context.
void SM_DrawMsgItem();

// The same drawing for a repaint: the slot texts are left as they are.
void SM_RedrawMsgItems();

// Draws one picture at (x, y) in 170 x 170 pixels: the area is filled with
// the colour at (1, 1) (the button face where that pixel cannot be read,
// off the screen), the mask is ANDed on, then the image combined with
// rop. Nothing when the mask cannot be loaded; 1 when the mask was drawn.
int SM_DrawImage(HDC dc, int x, int y, int image, int mask, DWORD rop);
// The same in size x size pixels, for a dialog at another display scale.
int SM_DrawImageSized(HDC dc, int x, int y, int size, int image, int mask, DWORD rop);

// The dialog's one bitmap control, the logo (it has no identifier); null
// when there is none.
HWND SM_StatusLogoControl(HWND dialog);
// A bitmap compatible with dc of the picture, or of its mask, drawn for the
// DPI; null at 96 DPI, where the program's resources are the pictures, and
// outside the DPIs pictures are drawn for. The caller deletes it.
HBITMAP SM_PictureBitmap(HDC dc, StatusPicture picture, int dpi, bool mask);
// Draws the picture drawn for the DPI at (x, y), as SM_DrawImage draws one
// of the resources; 0 when SM_PictureBitmap gives none.
int SM_DrawPictureAtDpi(HDC dc, int x, int y, int dpi, StatusPicture picture);

// Shows in the dialog's logo control the logo drawn for the DPI; the
// control's own logo at 96 DPI and where no logo is drawn for the DPI.
void SM_ShowStatusLogo(HWND dialog, int dpi);
// Gives the control its own logo back and deletes one shown for another
// scale; before the dialog is destroyed.
void SM_ReleaseStatusLogo(HWND dialog);
