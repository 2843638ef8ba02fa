// The halftone threshold table a watermark job asks for, as a private copy.
#pragma once

#include <windows.h>

// Sets *width and *height to the table's size and *table to a copy on the
// process heap that the caller frees with HeapFree. Every type outside 1-8
// selects the 16 x 16 table. When the copy cannot be made, *table is null
// and the sizes are still set.
void MISC_GetHalftoneTable(DWORD halftoneType, int* width, int* height, BYTE** table);
