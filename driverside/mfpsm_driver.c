/*
 * mfpsm_driver.c: the driver side of mfpsm (see mfpsm_driver.h).
 *
 * No C runtime function is called: texts, numbers and zeroing are done here
 * by hand, so the driver links nothing but the system's DLLs for it.
 */
#include "mfpsm_driver.h"

#include <stddef.h>

/* The record must be the program's, byte for byte. */
#define MFPSMDRV_ASSERT(name, test) typedef char mfpsmdrv_assert_##name[(test) ? 1 : -1]
MFPSMDRV_ASSERT(record_size, sizeof(MfpsmDrvWatermark) == 2348);
MFPSMDRV_ASSERT(text_at, offsetof(MfpsmDrvWatermark, wmText) == 132);
MFPSMDRV_ASSERT(density_at, offsetof(MfpsmDrvWatermark, wDensity) == 654);
MFPSMDRV_ASSERT(face_at, offsetof(MfpsmDrvWatermark, wmFaceName) == 656);
MFPSMDRV_ASSERT(size_at, offsetof(MfpsmDrvWatermark, wFontSize) == 720);
MFPSMDRV_ASSERT(placement_at, offsetof(MfpsmDrvWatermark, wPlacement) == 726);
MFPSMDRV_ASSERT(shift_at, offsetof(MfpsmDrvWatermark, xShift) == 1780);
MFPSMDRV_ASSERT(width_at, offsetof(MfpsmDrvWatermark, nWidth) == 1784);
MFPSMDRV_ASSERT(table_at, offsetof(MfpsmDrvWatermark, nTableW) == 1808);
MFPSMDRV_ASSERT(file_at, offsetof(MfpsmDrvWatermark, wmFileName) == 1816);
MFPSMDRV_ASSERT(halftone_at, offsetof(MfpsmDrvWatermark, HalftoneType) == 2336);
MFPSMDRV_ASSERT(driver_at, offsetof(MfpsmDrvWatermark, DriverType) == 2340);

#define RECORD_BYTES 2348u
#define PARAM_CHARS 3132u
#define MAX_PICTURE_BYTES (512LL * 1024 * 1024)

/* ------------------------------------------------------------------ */
/* The record and its encoding: nothing here needs Windows itself.     */

/* The units before text's terminator, or limit when there is none before it. */
static DWORD TextLength(const WCHAR *text, DWORD limit)
{
    DWORD length = 0;
    while (length < limit && text[length] != 0)
        ++length;
    return length;
}

DWORD MfpsmDrvCopyText(WCHAR *field, DWORD units, const WCHAR *text)
{
    DWORD length, i;
    if (!field || !text || units == 0)
        return ERROR_INVALID_PARAMETER;
    length = TextLength(text, units);
    if (length >= units)
        return ERROR_INSUFFICIENT_BUFFER;
    for (i = 0; i < length; ++i)
        field[i] = text[i];
    SecureZeroMemory(field + length, (units - length) * sizeof(WCHAR));
    return ERROR_SUCCESS;
}

typedef struct FieldRange {
    const char *name;
    LONGLONG value;
    LONGLONG low;
    LONGLONG high;
} FieldRange;

/* The fields in the order the job checks them, with what it accepts. */
static const char *OutOfRange(const MfpsmDrvWatermark *wm)
{
    const FieldRange ranges[] = {
        {"wDensity", wm->wDensity, 20, 100},
        {"wFontSize", wm->wFontSize, 1, 288},
        {"wStyle", wm->wStyle, 0, 3},
        {"wAngleDegree", wm->wAngleDegree, 0, 360},
        {"nDstScale", wm->nDstScale, 1, 2},
        {"nPageDensity", wm->nPageDensity, 1, 7},
        {"nMaxPageDensity", wm->nMaxPageDensity, 1, 7},
        {"nTextScale", wm->nTextScale, 5, 200},
        {"wPlacement", wm->wPlacement, 0, 1},
        {"nWidth", wm->nWidth, 1, 0x7FFFFFFF},
        {"nHeight", wm->nHeight, 1, 0x7FFFFFFF},
    };
    size_t i;
    for (i = 0; i < sizeof(ranges) / sizeof(ranges[0]); ++i) {
        if (ranges[i].value < ranges[i].low || ranges[i].value > ranges[i].high)
            return ranges[i].name;
    }
    return NULL;
}

/* A drive's or a server share's path: the job refuses a relative name, and
 * device and raw-namespace names ("\\.\", "\\?\") and named streams. */
static BOOL IsFullPath(const WCHAR *path, DWORD length)
{
    DWORD i;
    BOOL drive = length >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                 path[1] == ':' && path[2] == '\\';
    BOOL share = length >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '.' && path[2] != '?';
    if (!drive && !share)
        return FALSE;
    for (i = 2; i < length; ++i) {
        if (path[i] == ':' || path[i] == '/')
            return FALSE;
    }
    return TRUE;
}

static const char *BadField(const MfpsmDrvWatermark *wm)
{
    const char *range = OutOfRange(wm);
    LONGLONG stride;
    DWORD fileLength;
    if (range)
        return range;
    if (wm->nPageDensity > wm->nMaxPageDensity)
        return "nPageDensity";
    /* 1-bit rows padded to whole 32-bit words, as in the BMP file */
    stride = ((LONGLONG)wm->nWidth + 31) / 32 * 4;
    if (stride * wm->nHeight > MAX_PICTURE_BYTES)
        return "nHeight";
    if (TextLength(wm->wmText, 260) == 260)
        return "wmText";
    if (TextLength(wm->wmFaceName, 32) == 32)
        return "wmFaceName";
    fileLength = TextLength(wm->wmFileName, 260);
    if (fileLength == 260 || !IsFullPath(wm->wmFileName, fileLength))
        return "wmFileName";
    return NULL;
}

DWORD MfpsmDrvCheckWatermark(const MfpsmDrvWatermark *wm, const char **field)
{
    const char *bad;
    if (field)
        *field = NULL;
    if (!wm)
        return ERROR_INVALID_PARAMETER;
    bad = BadField(wm);
    if (field)
        *field = bad;
    return bad ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

static WCHAR Base64Digit(unsigned bits)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    return (WCHAR)kAlphabet[bits & 63u];
}

DWORD MfpsmDrvEncodeWatermark(const MfpsmDrvWatermark *wm, WCHAR *param, DWORD units)
{
    const BYTE *bytes = (const BYTE *)wm;
    DWORD at = 0, out = 0;
    if (!wm || !param)
        return ERROR_INVALID_PARAMETER;
    if (units < PARAM_CHARS + 1)
        return ERROR_INSUFFICIENT_BUFFER;
    for (at = 0; at < RECORD_BYTES; at += 3) {
        DWORD left = RECORD_BYTES - at;
        unsigned bits = (unsigned)bytes[at] << 16;
        if (left > 1)
            bits |= (unsigned)bytes[at + 1] << 8;
        if (left > 2)
            bits |= bytes[at + 2];
        param[out++] = Base64Digit(bits >> 18);
        param[out++] = Base64Digit(bits >> 12);
        param[out++] = left > 1 ? Base64Digit(bits >> 6) : (WCHAR)'=';
        param[out++] = left > 2 ? Base64Digit(bits) : (WCHAR)'=';
    }
    param[out] = 0;
    return ERROR_SUCCESS;
}

#ifdef _WIN32
/* ------------------------------------------------------------------ */
/* Everything below talks to Windows.                                  */

#include <winspool.h>

/* Limited printer management (Windows 8.1 and later); older headers lack it. */
#ifndef PRINTER_ACCESS_MANAGE_LIMITED
#define PRINTER_ACCESS_MANAGE_LIMITED 0x00000040
#endif

#define SECTION_PRINTER L"Printer Information"
#define SECTION_JOB L"Job Information"
#define MESSAGE_CLOSE L"1026"
#define MESSAGE_STATUS L"1027"
#define STAMP_MAX 0x7FFFFFFF
#define TURN_WAIT_MS 5000
#define POLL_MS 20
#define NUMBER_UNITS 24
/* The longest command line: a program path and a printer name or job file
 * path of 259 units each, every unit of the second a doubled backslash. */
#define COMMAND_UNITS 1200
#define PROMPT_TEXT_UNITS 260
/* A read that meets another process's rewrite finds the key missing; it is
 * read again a few times, longer while the whole section is missing. */
#define MISSING_READS 4
#define MISSING_SECTION_READS 24
#define MISSING_PAUSE_MS 5

/* Every process of every session that posts through this library takes its
 * turn with this mutex, so that no status is mixed with another's keys and
 * two writers never take the same change stamp. */
#define TURN_MUTEX L"Global\\mfpsm status writers"

/* A read default no writer writes: tells a missing key from an empty one. */
static const WCHAR kMissing[] = {1, 0};

/* ----- texts ----- */

typedef struct TextBuffer {
    WCHAR *text;
    DWORD units;
    DWORD length;
    BOOL overflow;
} TextBuffer;

static void TextStart(TextBuffer *buffer, WCHAR *text, DWORD units)
{
    buffer->text = text;
    buffer->units = units;
    buffer->length = 0;
    buffer->overflow = FALSE;
    text[0] = 0;
}

static void TextAddChar(TextBuffer *buffer, WCHAR c)
{
    if (buffer->length + 1 >= buffer->units) {
        buffer->overflow = TRUE;
        return;
    }
    buffer->text[buffer->length++] = c;
    buffer->text[buffer->length] = 0;
}

static void TextAdd(TextBuffer *buffer, const WCHAR *text)
{
    while (*text)
        TextAddChar(buffer, *text++);
}

/* Every number written is a 32-bit one, signed or not: divided in 32 bits,
 * so 32-bit builds need no 64-bit division helpers. */
static void TextAddUnsigned(TextBuffer *buffer, DWORD value)
{
    WCHAR digits[NUMBER_UNITS];
    int count = 0;
    do {
        digits[count++] = (WCHAR)('0' + value % 10);
        value /= 10;
    } while (value);
    while (count)
        TextAddChar(buffer, digits[--count]);
}

static void TextAddSigned(TextBuffer *buffer, LONG value)
{
    if (value < 0)
        TextAddChar(buffer, '-');
    TextAddUnsigned(buffer, value < 0 ? (DWORD)0 - (DWORD)value : (DWORD)value);
}

/* A decimal number, the whole text; FALSE for anything else. */
static BOOL ParseNumber(const WCHAR *text, LONGLONG *value)
{
    LONGLONG result = 0;
    BOOL negative = text[0] == '-';
    DWORD i = negative ? 1 : 0, digits = 0;
    for (; text[i]; ++i, ++digits) {
        if (text[i] < '0' || text[i] > '9' || digits >= 18)
            return FALSE;
        result = result * 10 + (text[i] - '0');
    }
    if (digits == 0)
        return FALSE;
    *value = negative ? -result : result;
    return TRUE;
}

static BOOL SameText(const WCHAR *a, const WCHAR *b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

static BOOL HasChar(const WCHAR *text, DWORD length, WCHAR c)
{
    DWORD i;
    for (i = 0; i < length; ++i) {
        if (text[i] == c)
            return TRUE;
    }
    return FALSE;
}

static BOOL IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t';
}

/* A value the profile functions give back as written, of at most maxUnits
 * units: they end a value at a line break, drop blanks around it and the
 * quotes that enclose it. */
static BOOL IsProfileValue(const WCHAR *text, DWORD maxUnits)
{
    DWORD length = TextLength(text, maxUnits + 1);
    if (length > maxUnits || HasChar(text, length, '\r') || HasChar(text, length, '\n'))
        return FALSE;
    if (length == 0)
        return TRUE;
    if (IsBlank(text[0]) || IsBlank(text[length - 1]))
        return FALSE;
    return !(length >= 2 && (text[0] == '"' || text[0] == '\'') && text[length - 1] == text[0]);
}

static BOOL IsAscii(const WCHAR *text)
{
    for (; *text; ++text) {
        if (*text > 0x7F)
            return FALSE;
    }
    return TRUE;
}

/* ----- the shared documents folder and the status exchange file ----- */

#define SHELL_FOLDERS L"software\\microsoft\\windows\\currentversion\\explorer\\shell folders"

/* "Common Documents" as mfpsm reads it: into 260 bytes, taken as read. */
static DWORD ReadSharedFolder(TextBuffer *path)
{
    HKEY key;
    WCHAR value[130];
    DWORD size = sizeof(value), type = 0, length;
    LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, SHELL_FOLDERS, 0, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS)
        return (DWORD)rc;
    rc = RegQueryValueExW(key, L"Common Documents", NULL, &type, (BYTE *)value, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return (DWORD)rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_PATH_NOT_FOUND;
    length = TextLength(value, size / sizeof(WCHAR));
    if (length == 0)
        return ERROR_PATH_NOT_FOUND;
    value[length] = 0;
    TextAdd(path, value);
    return ERROR_SUCCESS;
}

DWORD MfpsmDrvSharedPath(const WCHAR *name, WCHAR *path, DWORD units)
{
    TextBuffer buffer;
    DWORD rc, attributes;
    if (!name || !path || units == 0)
        return ERROR_INVALID_PARAMETER;
    TextStart(&buffer, path, units);
    rc = ReadSharedFolder(&buffer);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (buffer.overflow)
        return ERROR_FILENAME_EXCED_RANGE;
    if (buffer.text[buffer.length - 1] != '\\')
        TextAddChar(&buffer, '\\');
    attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_PATH_NOT_FOUND;
    TextAdd(&buffer, name);
    if (buffer.overflow) {
        path[0] = 0;
        return ERROR_FILENAME_EXCED_RANGE;
    }
    return ERROR_SUCCESS;
}

/* Whether the file begins with FF FE; the profile functions keep a file in
 * the form they find it in. A file held by a writer is looked at again. */
static DWORD ReadMark(const WCHAR *path, BOOL *marked)
{
    int attempt;
    for (attempt = 0;; ++attempt) {
        BYTE mark[2] = {0, 0};
        DWORD read = 0;
        BOOL ok;
        HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error != ERROR_SHARING_VIOLATION || attempt == MISSING_READS)
                return error;
            Sleep(MISSING_PAUSE_MS);
            continue;
        }
        ok = ReadFile(file, mark, sizeof(mark), &read, NULL);
        CloseHandle(file);
        *marked = ok && read == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
        return ERROR_SUCCESS;
    }
}

/* A new file holding the two bytes FF FE, never over a file that exists. */
static DWORD CreateMarkedFile(const WCHAR *path)
{
    static const BYTE kMark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    BOOL ok;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    ok = WriteFile(file, kMark, sizeof(kMark), &written, NULL) && written == sizeof(kMark);
    CloseHandle(file);
    if (ok)
        return ERROR_SUCCESS;
    DeleteFileW(path);
    return ERROR_WRITE_FAULT;
}

/* The status exchange file made sure of; *marked tells whether it is UTF-16. */
static DWORD EnsureStatusFile(WCHAR *path, DWORD units, BOOL *marked)
{
    DWORD rc = MfpsmDrvSharedPath(L"StatusMonitorV3.ini", path, units);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = ReadMark(path, marked);
    if (rc != ERROR_FILE_NOT_FOUND)
        return rc;
    rc = CreateMarkedFile(path);
    if (rc == ERROR_FILE_EXISTS)
        return ReadMark(path, marked);
    *marked = rc == ERROR_SUCCESS;
    return rc;
}

DWORD MfpsmDrvStatusFilePath(WCHAR *path, DWORD units)
{
    BOOL marked = FALSE;
    if (!path || units == 0)
        return ERROR_INVALID_PARAMETER;
    return EnsureStatusFile(path, units, &marked);
}

/* ----- taking turns ----- */

/* Every user may wait for and release the mutex (the spooler's processes
 * and each session's driver write the same file), no one may change it. */
static DWORD TakeTurn(HANDLE *mutex)
{
    DWORD sid[SECURITY_MAX_SID_SIZE / sizeof(DWORD) + 1];
    DWORD acl[(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE) / sizeof(DWORD) + 1];
    DWORD sidSize = sizeof(sid), waited;
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes;
    const DWORD rights = SYNCHRONIZE | MUTEX_MODIFY_STATE;
    if (!CreateWellKnownSid(WinWorldSid, NULL, (PSID)sid, &sidSize) ||
        !InitializeAcl((PACL)acl, sizeof(acl), ACL_REVISION) ||
        !AddAccessAllowedAce((PACL)acl, ACL_REVISION, rights, (PSID)sid) ||
        !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, (PACL)acl, FALSE))
        return GetLastError();
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = &descriptor;
    attributes.bInheritHandle = FALSE;
    *mutex = CreateMutexExW(&attributes, TURN_MUTEX, 0, rights);
    if (!*mutex)
        return GetLastError();
    waited = WaitForSingleObject(*mutex, TURN_WAIT_MS);
    /* An owner that ended without releasing it leaves nothing half done
     * that matters: every write it made is a whole key. */
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return ERROR_SUCCESS;
    waited = waited == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
    CloseHandle(*mutex);
    *mutex = NULL;
    return waited;
}

static void EndTurn(HANDLE mutex)
{
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

/* ----- keys of the status exchange file ----- */

static DWORD WriteKey(const WCHAR *file, const WCHAR *section, const WCHAR *key, const WCHAR *value)
{
    return WritePrivateProfileStringW(section, key, value, file) ? ERROR_SUCCESS : GetLastError();
}

static DWORD WriteNumber(const WCHAR *file, const WCHAR *section, const WCHAR *key, DWORD value)
{
    WCHAR text[NUMBER_UNITS];
    TextBuffer buffer;
    TextStart(&buffer, text, NUMBER_UNITS);
    TextAddUnsigned(&buffer, value);
    return WriteKey(file, section, key, text);
}

/* FALSE when the key is missing. */
static BOOL ReadKey(const WCHAR *file, const WCHAR *section, const WCHAR *key, WCHAR *value, DWORD units)
{
    GetPrivateProfileStringW(section, key, kMissing, value, units, file);
    return !SameText(value, kMissing);
}

static BOOL HasSection(const WCHAR *file, const WCHAR *section)
{
    WCHAR probe[4];
    return GetPrivateProfileSectionW(section, probe, 4, file) > 0;
}

/* Every profile write rewrites the whole file, and a read from another
 * process meanwhile finds it cut short: a key counts as missing only when
 * it stays missing. */
static BOOL ReadKeptKey(const WCHAR *file, const WCHAR *section, const WCHAR *key, WCHAR *value, DWORD units)
{
    int attempt;
    for (attempt = 1;; ++attempt) {
        if (ReadKey(file, section, key, value, units))
            return TRUE;
        if (attempt >= MISSING_READS && (attempt >= MISSING_SECTION_READS || HasSection(file, section)))
            return FALSE;
        Sleep(MISSING_PAUSE_MS);
    }
}

/* A start for a file whose stamp is gone (made anew, or never written):
 * the monitors remember the stamp they took last for their whole life, so
 * counting from 1 again could meet it; the clock's milliseconds do not. */
static DWORD ClockStamp(void)
{
    FILETIME now;
    ULARGE_INTEGER ticks;
    DWORD stamp;
    GetSystemTimeAsFileTime(&now);
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    /* steps of 1.6 ms, round again after 40 days */
    stamp = (DWORD)(ticks.QuadPart >> 14) & STAMP_MAX;
    return stamp ? stamp : 1;
}

/* One more than the stamp in the file, from 1 again after the largest. */
static DWORD NextStamp(const WCHAR *file)
{
    WCHAR text[NUMBER_UNITS];
    LONGLONG last = 0;
    if (!ReadKeptKey(file, SECTION_PRINTER, L"LastMsg", text, NUMBER_UNITS) || !ParseNumber(text, &last) ||
        last <= 0 || last > STAMP_MAX)
        return ClockStamp();
    return last == STAMP_MAX ? 1 : (DWORD)last + 1;
}

/* The keys of one status, in the order that keeps the monitor from taking
 * half of it: it acts on Message 1027 only with a new LastMsg, and reads
 * Status and JobID after LastMsg. */
static DWORD WriteStatus(const WCHAR *file, const WCHAR *printerName, const DWORD *jobId, const WCHAR *statusText,
                         DWORD *stamp)
{
    DWORD rc = ERROR_SUCCESS, next;
    if (printerName)
        rc = WriteKey(file, SECTION_PRINTER, L"PrinterName", printerName);
    if (rc == ERROR_SUCCESS && jobId)
        rc = WriteNumber(file, SECTION_JOB, L"JobID", *jobId);
    if (rc == ERROR_SUCCESS)
        rc = WriteKey(file, SECTION_PRINTER, L"Status", statusText);
    if (rc != ERROR_SUCCESS)
        return rc;
    next = NextStamp(file);
    rc = WriteNumber(file, SECTION_PRINTER, L"LastMsg", next);
    if (rc == ERROR_SUCCESS)
        rc = WriteKey(file, SECTION_PRINTER, L"Message", MESSAGE_STATUS);
    if (rc == ERROR_SUCCESS && stamp)
        *stamp = next;
    return rc;
}

/* The file made sure of, the turn taken, then write(file, context). */
typedef DWORD (*FileWrite)(const WCHAR *file, const void *context);

static DWORD WriteInTurn(FileWrite write, const void *context, BOOL onlyAscii)
{
    WCHAR file[MAX_PATH];
    BOOL marked = FALSE;
    HANDLE mutex = NULL;
    DWORD rc = EnsureStatusFile(file, MAX_PATH, &marked);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!marked && !onlyAscii)
        return ERROR_NO_UNICODE_TRANSLATION;
    rc = TakeTurn(&mutex);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = write(file, context);
    EndTurn(mutex);
    return rc;
}

typedef struct StatusPost {
    const WCHAR *printerName;
    const DWORD *jobId;
    const WCHAR *statusText;
    DWORD *stamp;
} StatusPost;

static DWORD WritePost(const WCHAR *file, const void *context)
{
    const StatusPost *post = (const StatusPost *)context;
    return WriteStatus(file, post->printerName, post->jobId, post->statusText, post->stamp);
}

static DWORD Post(const StatusPost *post)
{
    BOOL ascii = IsAscii(post->statusText) && (!post->printerName || IsAscii(post->printerName));
    if (!IsProfileValue(post->statusText, MFPSMDRV_STATUS_UNITS - 1) ||
        (post->printerName && !IsProfileValue(post->printerName, MFPSMDRV_PRINTER_UNITS - 1)))
        return ERROR_INVALID_PARAMETER;
    return WriteInTurn(WritePost, post, ascii);
}

DWORD MfpsmDrvPostStatusText(const WCHAR *printerName, const DWORD *jobId, const WCHAR *statusText, DWORD *stamp)
{
    StatusPost post;
    if (!statusText)
        return ERROR_INVALID_PARAMETER;
    post.printerName = printerName;
    post.jobId = jobId;
    post.statusText = statusText;
    post.stamp = stamp;
    return Post(&post);
}

/* "c1|c2|", then "StoreName|name|"; ERROR_INVALID_PARAMETER when it does
 * not fit what the monitor reads. */
static DWORD FormatStatus(const LONG *codes, DWORD codeCount, const WCHAR *storeName, WCHAR *text, DWORD units)
{
    TextBuffer buffer;
    DWORD i;
    if (codeCount > MFPSMDRV_MAX_CODES || (codeCount && !codes))
        return ERROR_INVALID_PARAMETER;
    if (storeName && HasChar(storeName, TextLength(storeName, units), '|'))
        return ERROR_INVALID_PARAMETER;
    TextStart(&buffer, text, units);
    for (i = 0; i < codeCount; ++i) {
        TextAddSigned(&buffer, codes[i]);
        TextAddChar(&buffer, '|');
    }
    if (storeName) {
        TextAdd(&buffer, L"StoreName|");
        TextAdd(&buffer, storeName);
        TextAddChar(&buffer, '|');
    }
    return buffer.overflow ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

DWORD MfpsmDrvPostStatus(const WCHAR *printerName, const DWORD *jobId, const LONG *codes, DWORD codeCount,
                         const WCHAR *storeName, DWORD *stamp)
{
    WCHAR text[MFPSMDRV_STATUS_UNITS];
    DWORD rc = FormatStatus(codes, codeCount, storeName, text, MFPSMDRV_STATUS_UNITS);
    if (rc != ERROR_SUCCESS)
        return rc;
    return MfpsmDrvPostStatusText(printerName, jobId, text, stamp);
}

typedef struct KeyWrite {
    const WCHAR *key;
    const WCHAR *value;
} KeyWrite;

static DWORD WriteOneKey(const WCHAR *file, const void *context)
{
    const KeyWrite *write = (const KeyWrite *)context;
    return WriteKey(file, SECTION_PRINTER, write->key, write->value);
}

static DWORD WriteInTurnKey(const WCHAR *key, const WCHAR *value)
{
    KeyWrite write;
    write.key = key;
    write.value = value;
    return WriteInTurn(WriteOneKey, &write, TRUE);
}

DWORD MfpsmDrvCloseDialog(void)
{
    return WriteInTurnKey(L"Message", MESSAGE_CLOSE);
}

DWORD MfpsmDrvShowDialog(BOOL show)
{
    return WriteInTurnKey(L"ShowSM", show ? L"1" : L"0");
}

DWORD MfpsmDrvResetContinue(void)
{
    return WriteInTurnKey(L"ContinuePrint", L"0");
}

DWORD MfpsmDrvReadContinue(BOOL *pressed)
{
    WCHAR file[MAX_PATH], value[NUMBER_UNITS];
    BOOL marked = FALSE;
    DWORD rc;
    if (!pressed)
        return ERROR_INVALID_PARAMETER;
    *pressed = FALSE;
    rc = EnsureStatusFile(file, MAX_PATH, &marked);
    if (rc != ERROR_SUCCESS)
        return rc;
    *pressed = ReadKey(file, SECTION_PRINTER, L"ContinuePrint", value, NUMBER_UNITS) && SameText(value, L"1");
    return ERROR_SUCCESS;
}

/* Message read as written: a read that meets a rewrite finds it missing,
 * which is no answer. */
DWORD MfpsmDrvWaitForClose(DWORD timeoutMs)
{
    WCHAR file[MAX_PATH], value[NUMBER_UNITS];
    BOOL marked = FALSE;
    DWORD start = GetTickCount();
    DWORD rc = EnsureStatusFile(file, MAX_PATH, &marked);
    if (rc != ERROR_SUCCESS)
        return rc;
    for (;;) {
        if (ReadKey(file, SECTION_PRINTER, L"Message", value, NUMBER_UNITS) && SameText(value, L"0"))
            return ERROR_SUCCESS;
        if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs)
            return ERROR_TIMEOUT;
        Sleep(POLL_MS);
    }
}

/* ----- starting mfpsm ----- */

/* One argument as CommandLineToArgvW splits it back: in quotes, with the
 * backslashes before a quote doubled. */
static void TextAddArgument(TextBuffer *buffer, const WCHAR *argument)
{
    TextAddChar(buffer, ' ');
    TextAddChar(buffer, '"');
    for (;;) {
        DWORD backslashes = 0;
        while (*argument == '\\') {
            ++backslashes;
            ++argument;
        }
        if (*argument == 0 || *argument == '"') {
            backslashes = backslashes * 2 + (*argument == '"' ? 1 : 0);
        }
        while (backslashes--)
            TextAddChar(buffer, '\\');
        if (*argument == 0)
            break;
        TextAddChar(buffer, *argument++);
    }
    TextAddChar(buffer, '"');
}

/* The program's own full path, quoted, then the command word. */
static DWORD StartCommand(TextBuffer *buffer, WCHAR *text, const WCHAR *program, const WCHAR *word)
{
    DWORD length;
    if (!program)
        return ERROR_INVALID_PARAMETER;
    length = TextLength(program, MAX_PATH);
    if (length == MAX_PATH || HasChar(program, length, '"') || !IsFullPath(program, length))
        return ERROR_BAD_PATHNAME;
    TextStart(buffer, text, COMMAND_UNITS);
    TextAddChar(buffer, '"');
    TextAdd(buffer, program);
    TextAddChar(buffer, '"');
    TextAddChar(buffer, ' ');
    TextAdd(buffer, word);
    return ERROR_SUCCESS;
}

/* Starts the command, suspended, so that the caller may hand the new
 * process what it needs before its first instruction. */
static DWORD StartSuspended(const WCHAR *program, WCHAR *commandLine, PROCESS_INFORMATION *process)
{
    STARTUPINFOW startup;
    SecureZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    SecureZeroMemory(process, sizeof(*process));
    if (!CreateProcessW(program, commandLine, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL, &startup, process))
        return GetLastError();
    return ERROR_SUCCESS;
}

static void CloseProcess(PROCESS_INFORMATION *process)
{
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}

/* Lets a started process run; one that cannot is ended again. */
static DWORD Resume(PROCESS_INFORMATION *process)
{
    DWORD error;
    if (ResumeThread(process->hThread) != (DWORD)-1)
        return ERROR_SUCCESS;
    error = GetLastError();
    TerminateProcess(process->hProcess, ERROR_PROCESS_ABORTED);
    CloseProcess(process);
    return error;
}

static DWORD Start(const WCHAR *program, WCHAR *commandLine, PROCESS_INFORMATION *process)
{
    DWORD rc = StartSuspended(program, commandLine, process);
    return rc == ERROR_SUCCESS ? Resume(process) : rc;
}

/* The exit code of a one-shot task; one that takes too long is ended. */
static DWORD WaitForTask(HANDLE process, DWORD timeoutMs, DWORD *exitCode)
{
    DWORD waited = WaitForSingleObject(process, timeoutMs);
    if (waited == WAIT_TIMEOUT) {
        TerminateProcess(process, ERROR_TIMEOUT);
        WaitForSingleObject(process, TURN_WAIT_MS);
        return ERROR_TIMEOUT;
    }
    if (waited != WAIT_OBJECT_0)
        return GetLastError();
    return GetExitCodeProcess(process, exitCode) ? ERROR_SUCCESS : GetLastError();
}

/* Starts the command line and waits for the task's exit code. */
static DWORD RunTask(const WCHAR *program, WCHAR *commandLine, DWORD timeoutMs, DWORD *exitCode)
{
    PROCESS_INFORMATION process;
    DWORD rc = Start(program, commandLine, &process);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = WaitForTask(process.hProcess, timeoutMs, exitCode);
    CloseProcess(&process);
    return rc;
}

/* The monitor's window class is the program's base name. */
static void WindowClassOf(const WCHAR *program, WCHAR *name, DWORD units)
{
    const WCHAR *base = program, *p;
    TextBuffer buffer;
    for (p = program; *p; ++p) {
        if (*p == '\\')
            base = p + 1;
    }
    TextStart(&buffer, name, units);
    for (p = base; *p && *p != '.'; ++p)
        TextAddChar(&buffer, *p);
}

static DWORD WaitForMonitor(const PROCESS_INFORMATION *process, const WCHAR *windowClass, DWORD timeoutMs)
{
    DWORD start = GetTickCount(), exitCode = 0;
    for (;;) {
        if (FindWindowW(windowClass, NULL))
            return ERROR_SUCCESS;
        if (WaitForSingleObject(process->hProcess, POLL_MS) == WAIT_OBJECT_0) {
            if (!GetExitCodeProcess(process->hProcess, &exitCode))
                return GetLastError();
            return exitCode == 0 ? ERROR_SUCCESS : ERROR_PROCESS_ABORTED;
        }
        if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs)
            return ERROR_TIMEOUT;
    }
}

DWORD MfpsmDrvStartMonitor(const WCHAR *program, DWORD timeoutMs)
{
    WCHAR commandLine[COMMAND_UNITS], windowClass[MAX_PATH];
    TextBuffer buffer;
    PROCESS_INFORMATION process;
    DWORD rc = StartCommand(&buffer, commandLine, program, L"install");
    if (rc != ERROR_SUCCESS)
        return rc;
    WindowClassOf(program, windowClass, MAX_PATH);
    rc = Start(program, commandLine, &process);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = WaitForMonitor(&process, windowClass, timeoutMs);
    CloseProcess(&process);
    return rc;
}

/* A printer's name as the command line carries it to mfpsm's 260 units. */
static BOOL IsPrinterArgument(const WCHAR *printerName)
{
    return printerName && printerName[0] && TextLength(printerName, PROMPT_TEXT_UNITS) < PROMPT_TEXT_UNITS;
}

static DWORD OpenPrinterFor(const WCHAR *printerName, DWORD access, HANDLE *printer)
{
    PRINTER_DEFAULTSW defaults;
    defaults.pDatatype = NULL;
    defaults.pDevMode = NULL;
    defaults.DesiredAccess = access;
    *printer = NULL;
    return OpenPrinterW((LPWSTR)printerName, printer, &defaults) ? ERROR_SUCCESS : GetLastError();
}

DWORD MfpsmDrvPreheat(const WCHAR *program, const WCHAR *printerName, DWORD timeoutMs)
{
    WCHAR commandLine[COMMAND_UNITS];
    TextBuffer buffer;
    HANDLE printer;
    DWORD exitCode = 0;
    DWORD rc = StartCommand(&buffer, commandLine, program, L"PREHEAT");
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!IsPrinterArgument(printerName))
        return ERROR_INVALID_PRINTER_NAME;
    rc = OpenPrinterFor(printerName, PRINTER_ACCESS_USE, &printer);
    if (rc != ERROR_SUCCESS)
        return rc;
    ClosePrinter(printer);
    TextAddArgument(&buffer, printerName);
    rc = RunTask(program, commandLine, timeoutMs, &exitCode);
    if (rc != ERROR_SUCCESS)
        return rc;
    return exitCode == 1 ? ERROR_SUCCESS : ERROR_PROCESS_ABORTED;
}

/* ----- watermark and fax pictures ----- */

DWORD MfpsmDrvWriteWatermarkJob(const WCHAR *jobIni, const MfpsmDrvWatermark *wm)
{
    WCHAR param[MFPSMDRV_PARAM_UNITS];
    DWORD rc, length;
    if (!jobIni)
        return ERROR_INVALID_PARAMETER;
    /* A relative name would be looked up in the Windows folder. */
    length = TextLength(jobIni, MAX_PATH);
    if (length == MAX_PATH || !IsFullPath(jobIni, length))
        return ERROR_BAD_PATHNAME;
    rc = MfpsmDrvCheckWatermark(wm, NULL);
    if (rc == ERROR_SUCCESS)
        rc = MfpsmDrvEncodeWatermark(wm, param, MFPSMDRV_PARAM_UNITS);
    if (rc != ERROR_SUCCESS)
        return rc;
    return WritePrivateProfileStringW(SECTION_JOB, L"Param", param, jobIni) ? ERROR_SUCCESS : GetLastError();
}

/* Which file a path names now: a replaced file is another file. */
typedef struct FileIdentity {
    BOOL exists;
    BY_HANDLE_FILE_INFORMATION info;
} FileIdentity;

static void IdentifyFile(const WCHAR *path, FileIdentity *identity)
{
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    SecureZeroMemory(identity, sizeof(*identity));
    if (file == INVALID_HANDLE_VALUE)
        return;
    identity->exists = GetFileInformationByHandle(file, &identity->info);
    CloseHandle(file);
}

static BOOL SameFile(const FileIdentity *a, const FileIdentity *b)
{
    const BY_HANDLE_FILE_INFORMATION *x = &a->info, *y = &b->info;
    return a->exists && b->exists && x->dwVolumeSerialNumber == y->dwVolumeSerialNumber &&
           x->nFileIndexHigh == y->nFileIndexHigh && x->nFileIndexLow == y->nFileIndexLow &&
           x->ftLastWriteTime.dwLowDateTime == y->ftLastWriteTime.dwLowDateTime &&
           x->ftLastWriteTime.dwHighDateTime == y->ftLastWriteTime.dwHighDateTime;
}

DWORD MfpsmDrvCreateTextBmp(const WCHAR *program, const WCHAR *jobIni, const MfpsmDrvWatermark *wm, DWORD timeoutMs)
{
    WCHAR commandLine[COMMAND_UNITS];
    TextBuffer buffer;
    FileIdentity before, after;
    DWORD exitCode = 0;
    DWORD rc = StartCommand(&buffer, commandLine, program, L"CreateTextBMP");
    if (rc == ERROR_SUCCESS)
        rc = MfpsmDrvWriteWatermarkJob(jobIni, wm);
    if (rc != ERROR_SUCCESS)
        return rc;
    TextAddArgument(&buffer, jobIni);
    IdentifyFile(wm->wmFileName, &before);
    rc = RunTask(program, commandLine, timeoutMs, &exitCode);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (exitCode == 3)
        return MFPSMDRV_ERROR_PICTURE_HELD;
    if (exitCode != 1)
        return ERROR_PROCESS_ABORTED;
    IdentifyFile(wm->wmFileName, &after);
    return after.exists && !SameFile(&before, &after) ? ERROR_SUCCESS : MFPSMDRV_ERROR_NO_PICTURE;
}

static BOOL WriteAll(HANDLE file, const void *bytes, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, NULL) && written == size;
}

static BOOL WriteText(HANDLE file, const WCHAR *text)
{
    return WriteAll(file, text, TextLength(text, 0xFFFFFFFFu) * sizeof(WCHAR));
}

/* "key=value" and CR LF, when value is given. */
static BOOL WriteEntry(HANDLE file, const WCHAR *key, const WCHAR *value)
{
    return !value || (WriteText(file, key) && WriteText(file, L"=") && WriteText(file, value) && WriteText(file, L"\r\n"));
}

static BOOL WriteNumberEntry(HANDLE file, const WCHAR *key, LONG value)
{
    WCHAR text[NUMBER_UNITS];
    TextBuffer buffer;
    TextStart(&buffer, text, NUMBER_UNITS);
    TextAddSigned(&buffer, value);
    return WriteEntry(file, key, text);
}

typedef BOOL (*FileFill)(HANDLE file, const MfpsmDrvFax *fax);

static BOOL FillSettings(HANDLE file, const MfpsmDrvFax *fax)
{
    BOOL sender = fax->name || fax->company || fax->department || fax->telephone || fax->faxNumber;
    BOOL labels = fax->labelFax || fax->labelFrom || fax->labelCompany || fax->labelDepartment ||
                  fax->labelTelephone || fax->labelMessage;
    return WriteText(file, L"[DataForSM]\r\n") && WriteNumberEntry(file, L"PaperSize", fax->paperSize) &&
           WriteNumberEntry(file, L"enableCoverPage", fax->coverPage) &&
           WriteNumberEntry(file, L"Orientation", fax->orientation) && WriteNumberEntry(file, L"Xres", fax->xres) &&
           WriteNumberEntry(file, L"Yres", fax->yres) &&
           (!sender || (WriteText(file, L"[SenderInformation]\r\n") && WriteEntry(file, L"Name", fax->name) &&
                        WriteEntry(file, L"Com", fax->company) && WriteEntry(file, L"Dep", fax->department) &&
                        WriteEntry(file, L"Tel", fax->telephone) && WriteEntry(file, L"FaxNum", fax->faxNumber))) &&
           (!labels || (WriteText(file, L"[SMTextOut]\r\n") && WriteEntry(file, L"FAX", fax->labelFax) &&
                        WriteEntry(file, L"FROM", fax->labelFrom) && WriteEntry(file, L"COM", fax->labelCompany) &&
                        WriteEntry(file, L"DEP", fax->labelDepartment) && WriteEntry(file, L"TEL", fax->labelTelephone) &&
                        WriteEntry(file, L"MESG", fax->labelMessage)));
}

static BOOL FillMessage(HANDLE file, const MfpsmDrvFax *fax)
{
    DWORD i;
    for (i = 0; i < fax->lineCount; ++i) {
        if (!WriteText(file, fax->messageLines[i]) || !WriteText(file, L"\r\n"))
            return FALSE;
    }
    return TRUE;
}

/* Writes a new file beside name and puts it in name's place in one step,
 * so a reader finds the old file or the new one, whole. */
static DWORD ReplaceWhole(const WCHAR *name, FileFill fill, const MfpsmDrvFax *fax)
{
    static const BYTE kMark[2] = {0xFF, 0xFE};
    WCHAR folder[MAX_PATH], target[MAX_PATH], temporary[MAX_PATH];
    HANDLE file;
    BOOL ok;
    DWORD rc = MfpsmDrvSharedPath(L"", folder, MAX_PATH);
    if (rc == ERROR_SUCCESS)
        rc = MfpsmDrvSharedPath(name, target, MAX_PATH);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!GetTempFileNameW(folder, L"fax", 0, temporary))
        return GetLastError();
    file = CreateFileW(temporary, GENERIC_WRITE, 0, NULL, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        rc = GetLastError();
        DeleteFileW(temporary);
        return rc;
    }
    ok = WriteAll(file, kMark, sizeof(kMark)) && fill(file, fax);
    rc = ok ? ERROR_SUCCESS : GetLastError();
    if (!CloseHandle(file) && ok) {
        ok = FALSE;
        rc = GetLastError();
    }
    if (ok && !MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = FALSE;
        rc = GetLastError();
    }
    if (!ok)
        DeleteFileW(temporary);
    return rc;
}

static BOOL IsFaxText(const WCHAR *text)
{
    return !text || IsProfileValue(text, MFPSMDRV_FAX_TEXT_UNITS - 1);
}

static BOOL IsMessageLine(const WCHAR *line)
{
    DWORD length;
    if (!line)
        return FALSE;
    length = TextLength(line, MFPSMDRV_FAX_LINE_UNITS + 1);
    return length <= MFPSMDRV_FAX_LINE_UNITS && !HasChar(line, length, '\r') && !HasChar(line, length, '\n');
}

static BOOL IsFax(const MfpsmDrvFax *fax)
{
    const WCHAR *const texts[] = {fax->name,         fax->company,         fax->department,   fax->telephone,
                                  fax->faxNumber,    fax->labelFax,        fax->labelFrom,    fax->labelCompany,
                                  fax->labelDepartment, fax->labelTelephone, fax->labelMessage};
    DWORD i;
    if (fax->paperSize != 8 && fax->paperSize != 9 && fax->paperSize != 12)
        return FALSE;
    if (fax->coverPage < 0 || fax->coverPage > 2 || (fax->lineCount && !fax->messageLines))
        return FALSE;
    for (i = 0; i < sizeof(texts) / sizeof(texts[0]); ++i) {
        if (!IsFaxText(texts[i]))
            return FALSE;
    }
    for (i = 0; i < fax->lineCount; ++i) {
        if (!IsMessageLine(fax->messageLines[i]))
            return FALSE;
    }
    return TRUE;
}

DWORD MfpsmDrvWriteFaxFiles(const MfpsmDrvFax *fax)
{
    DWORD rc;
    if (!fax || !IsFax(fax))
        return ERROR_INVALID_PARAMETER;
    rc = ReplaceWhole(L"str.ini", FillSettings, fax);
    if (rc != ERROR_SUCCESS)
        return rc;
    return ReplaceWhole(L"cover.ini", FillMessage, fax);
}

/* ----- prompts ----- */

static const WCHAR *const kAnswerValues[] = {L"SecID", L"SecPassWord", L"SecRemoveFile", L"ActName", L"ActPWD"};

/* The prompts' values need the right to manage the printer; a standard user
 * may hold only the limited one an installer granted. */
static DWORD OpenForAnswers(const WCHAR *printerName, HANDLE *printer)
{
    DWORD rc = OpenPrinterFor(printerName, PRINTER_ACCESS_ADMINISTER, printer);
    if (rc == ERROR_ACCESS_DENIED)
        rc = OpenPrinterFor(printerName, PRINTER_ACCESS_MANAGE_LIMITED, printer);
    return rc;
}

/* Deletes every answer value; the first error other than a missing value. */
static DWORD DeleteAnswers(HANDLE printer)
{
    DWORD rc = ERROR_SUCCESS;
    size_t i;
    for (i = 0; i < sizeof(kAnswerValues) / sizeof(kAnswerValues[0]); ++i) {
        DWORD deleted = DeletePrinterDataW(printer, (LPWSTR)kAnswerValues[i]);
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND && rc == ERROR_SUCCESS)
            rc = deleted;
    }
    return rc;
}

static DWORD DeleteAnswersOf(const WCHAR *printerName)
{
    HANDLE printer;
    DWORD rc = OpenForAnswers(printerName, &printer);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = DeleteAnswers(printer);
    ClosePrinter(printer);
    return rc;
}

/* One text answer as a prompt stores it: REG_SZ, terminated, at most
 * maxChars characters. Anything else did not come from the prompt. */
static DWORD ReadTextAnswer(HANDLE printer, const WCHAR *name, WCHAR *value, DWORD maxChars)
{
    DWORD type = 0, needed = 0, units;
    DWORD rc = GetPrinterDataW(printer, (LPWSTR)name, &type, (BYTE *)value, PROMPT_TEXT_UNITS * sizeof(WCHAR),
                               &needed);
    if (rc == ERROR_FILE_NOT_FOUND)
        return MFPSMDRV_ERROR_NO_ANSWERS;
    if (rc == ERROR_MORE_DATA)
        return ERROR_INVALID_DATA;
    if (rc != ERROR_SUCCESS)
        return rc;
    units = needed / sizeof(WCHAR);
    if (type != REG_SZ || TextLength(value, units) > maxChars || TextLength(value, units) == units)
        return ERROR_INVALID_DATA;
    return ERROR_SUCCESS;
}

static DWORD ReadNumberAnswer(HANDLE printer, const WCHAR *name, DWORD *value)
{
    DWORD type = 0, needed = 0;
    DWORD rc = GetPrinterDataW(printer, (LPWSTR)name, &type, (BYTE *)value, sizeof(*value), &needed);
    if (rc == ERROR_FILE_NOT_FOUND)
        return MFPSMDRV_ERROR_NO_ANSWERS;
    if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && (type != REG_DWORD || needed != sizeof(*value))))
        return ERROR_INVALID_DATA;
    return rc;
}

/* What one prompt hands over: two texts and, for the secure print, a number. */
typedef struct Answers {
    const WCHAR *firstName;
    const WCHAR *secondName;
    const WCHAR *numberName; /* NULL: none */
    DWORD maxChars;
    WCHAR first[PROMPT_TEXT_UNITS];
    WCHAR second[PROMPT_TEXT_UNITS];
    DWORD number;
} Answers;

/* Reads the answers and deletes every answer value at once, read or not. */
static DWORD TakeAnswers(const WCHAR *printerName, Answers *answers)
{
    HANDLE printer;
    DWORD deleted;
    DWORD rc = OpenForAnswers(printerName, &printer);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = ReadTextAnswer(printer, answers->firstName, answers->first, answers->maxChars);
    if (rc == ERROR_SUCCESS)
        rc = ReadTextAnswer(printer, answers->secondName, answers->second, answers->maxChars);
    if (rc == ERROR_SUCCESS && answers->numberName)
        rc = ReadNumberAnswer(printer, answers->numberName, &answers->number);
    deleted = DeleteAnswers(printer);
    ClosePrinter(printer);
    return rc != ERROR_SUCCESS ? rc : deleted;
}

/* The prompt's process may take the foreground from the caller's window;
 * it is allowed before it runs, so before its dialog shows. Refused when
 * the caller is not in front itself, which only costs the focus. */
static DWORD RunPrompt(const MfpsmDrvPrompt *prompt, WCHAR *commandLine, DWORD *exitCode)
{
    PROCESS_INFORMATION process;
    DWORD rc = StartSuspended(prompt->program, commandLine, &process);
    if (rc != ERROR_SUCCESS)
        return rc;
    AllowSetForegroundWindow(process.dwProcessId);
    rc = Resume(&process);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = WaitForTask(process.hProcess, prompt->timeoutMs, exitCode);
    CloseProcess(&process);
    return rc;
}

/* Clears what may be stale, runs the prompt, takes what it stored. A
 * prompt that did not end well may have stored part of its answers. */
static DWORD Ask(const MfpsmDrvPrompt *prompt, WCHAR *commandLine, Answers *answers)
{
    DWORD exitCode = 0;
    DWORD rc = DeleteAnswersOf(prompt->printerName);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RunPrompt(prompt, commandLine, &exitCode);
    if (rc == ERROR_SUCCESS && exitCode == 1)
        return TakeAnswers(prompt->printerName, answers);
    if (rc == ERROR_SUCCESS)
        rc = exitCode == 2 ? MFPSMDRV_ERROR_NO_ANSWERS : ERROR_PROCESS_ABORTED;
    DeleteAnswersOf(prompt->printerName);
    return rc;
}

static void EmptyText(WCHAR *text, DWORD units)
{
    if (text && units)
        text[0] = 0;
}

/* The command line of a prompt: the word, the type when there is one, the
 * printer and the language. */
static DWORD PromptCommand(const MfpsmDrvPrompt *prompt, const WCHAR *word, DWORD type, TextBuffer *buffer,
                           WCHAR *commandLine)
{
    DWORD rc = StartCommand(buffer, commandLine, prompt->program, word);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!IsPrinterArgument(prompt->printerName))
        return ERROR_INVALID_PRINTER_NAME;
    if (type) {
        TextAddChar(buffer, ' ');
        TextAddUnsigned(buffer, type);
    }
    TextAddArgument(buffer, prompt->printerName);
    TextAddChar(buffer, ' ');
    TextAddUnsigned(buffer, prompt->language);
    return ERROR_SUCCESS;
}

static void HandOver(WCHAR *to, DWORD units, const WCHAR *from)
{
    if (to)
        MfpsmDrvCopyText(to, units, from);
}

static void Wipe(Answers *answers)
{
    SecureZeroMemory(answers, sizeof(*answers));
}

DWORD MfpsmDrvAskSecurePrint(const MfpsmDrvPrompt *prompt, DWORD type, WCHAR *jobId, DWORD jobIdUnits,
                             WCHAR *password, DWORD passwordUnits, BOOL *removeAfterPrinting)
{
    WCHAR commandLine[COMMAND_UNITS];
    TextBuffer buffer;
    Answers answers;
    DWORD rc;
    EmptyText(jobId, jobIdUnits);
    EmptyText(password, passwordUnits);
    if (removeAfterPrinting)
        *removeAfterPrinting = FALSE;
    if (!prompt || (type != 1 && type != 2) || !jobId || !removeAfterPrinting || (type == 2 && !password))
        return ERROR_INVALID_PARAMETER;
    if (jobIdUnits < MFPSMDRV_JOB_ID_UNITS || (password && passwordUnits < MFPSMDRV_SECURE_PASSWORD_UNITS))
        return ERROR_INSUFFICIENT_BUFFER;
    rc = PromptCommand(prompt, L"security", type, &buffer, commandLine);
    if (rc != ERROR_SUCCESS)
        return rc;
    SecureZeroMemory(&answers, sizeof(answers));
    answers.firstName = L"SecID";
    answers.secondName = L"SecPassWord";
    answers.numberName = L"SecRemoveFile";
    answers.maxChars = MFPSMDRV_JOB_ID_UNITS - 1;
    rc = Ask(prompt, commandLine, &answers);
    if (rc == ERROR_SUCCESS) {
        HandOver(jobId, jobIdUnits, answers.first);
        HandOver(password, passwordUnits, answers.second);
        *removeAfterPrinting = answers.number == 1;
    }
    Wipe(&answers);
    return rc;
}

DWORD MfpsmDrvAskAccounting(const MfpsmDrvPrompt *prompt, WCHAR *userName, DWORD userNameUnits, WCHAR *password,
                            DWORD passwordUnits)
{
    WCHAR commandLine[COMMAND_UNITS];
    TextBuffer buffer;
    Answers answers;
    DWORD rc;
    EmptyText(userName, userNameUnits);
    EmptyText(password, passwordUnits);
    if (!prompt || !userName || !password)
        return ERROR_INVALID_PARAMETER;
    if (userNameUnits < MFPSMDRV_USER_NAME_UNITS || passwordUnits < MFPSMDRV_ACCOUNTING_PASSWORD_UNITS)
        return ERROR_INSUFFICIENT_BUFFER;
    rc = PromptCommand(prompt, L"accounting", 0, &buffer, commandLine);
    if (rc != ERROR_SUCCESS)
        return rc;
    SecureZeroMemory(&answers, sizeof(answers));
    answers.firstName = L"ActName";
    answers.secondName = L"ActPWD";
    answers.maxChars = MFPSMDRV_USER_NAME_UNITS - 1;
    rc = Ask(prompt, commandLine, &answers);
    if (rc == ERROR_SUCCESS) {
        HandOver(userName, userNameUnits, answers.first);
        HandOver(password, passwordUnits, answers.second);
    }
    Wipe(&answers);
    return rc;
}

#endif /* _WIN32 */
