// Which printer names the spooler functions may be given. A name read from
// a file that every local user can write could name any host's share, and
// opening it would connect this user's session there with the user's
// credentials; so only the printers this machine lists are opened.
#pragma once

#include <windows.h>

// 1 when EnumPrintersW lists a printer of this name (letter case aside)
// among the local printers and this user's connections, else 0.
int MISC_IsListedPrinterW(const WCHAR* name);

// The same for an ANSI name, through EnumPrintersA (the 9x family, where
// every printer the machine knows is a local one).
int MISC_IsListedPrinterA(const char* name);
