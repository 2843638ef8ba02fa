// Which printer names the spooler functions may be given. A name read from
// a file that every local user can write could name any host's share, and
// opening it would connect this user's session there with the user's
// credentials; so only the printers this machine lists are opened. Each
// open asks for no more than its operation needs: a standard user holds
// only PRINTER_ACCESS_USE, and an open asking for more is refused whole.
#pragma once

#include <windows.h>
#include <winspool.h>

// The right to change a printer's settings and printer data without full
// management (Windows 8.1 and later); MinGW's headers lack it.
#ifndef PRINTER_ACCESS_MANAGE_LIMITED
#define PRINTER_ACCESS_MANAGE_LIMITED 0x00000040
#endif

// The rights that let a caller change a printer's status word and printer
// data, asked for in this order: a standard user is refused the first and
// may have been granted the second.
constexpr DWORD kManageRights[] = {PRINTER_ACCESS_ADMINISTER, PRINTER_ACCESS_MANAGE_LIMITED};

// 1 when EnumPrintersW lists a printer of this name (letter case aside)
// among the local printers and this user's connections, else 0 with the
// reason as the last error: ERROR_INVALID_PRINTER_NAME, or the spooler's
// own when it could not list its printers.
int MISC_IsListedPrinterW(const WCHAR* name);

// The same for an ANSI name, through EnumPrintersA (the 9x family, where
// every printer the machine knows is a local one).
int MISC_IsListedPrinterA(const char* name);
