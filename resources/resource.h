// Resource identifiers of mfpsm. Shared by the resource script and the code.
#pragma once

#define IDD_STATUS 102
#define IDD_SECURE 103
#define IDD_ACCOUNTING 108
