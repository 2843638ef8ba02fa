/* The little of <windows.h> that the record half of driverside/mfpsm_driver.c
 * needs, so that the host tests build it natively, with the sanitizers. The
 * types have their Windows sizes; the error codes are winerror.h's. */
#ifndef MFPSM_HOST_WINDOWS_H
#define MFPSM_HOST_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint16_t WCHAR;
typedef uint16_t LANGID;
typedef int16_t SHORT;
typedef int32_t LONG;
typedef int32_t BOOL;
typedef uint32_t DWORD;
typedef int64_t LONGLONG;

#define TRUE 1
#define FALSE 0

#define ERROR_SUCCESS 0L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_NOT_FOUND 1168L
#define ERROR_CANNOT_MAKE 82L
#define ERROR_SHARING_VIOLATION 32L

static inline void *SecureZeroMemory(void *memory, size_t size)
{
    volatile BYTE *bytes = (volatile BYTE *)memory;
    while (size--)
        *bytes++ = 0;
    return memory;
}

#endif
