/*
 * mfpsm_driver.h: the driver side of mfpsm, for a printer driver's own
 * build. Add mfpsm_driver.h and mfpsm_driver.c to the driver's sources and
 * link kernel32, user32, advapi32 and winspool (see README.md beside them).
 *
 * C99 that also compiles as C++; UTF-16 throughout (the W functions are
 * called by name, so UNICODE may be defined or not); no allocation: every
 * buffer is the caller's or on the stack. Every function returns a Win32
 * error code: ERROR_SUCCESS, or the reason it did nothing more. A function
 * that fails writes no half of what it was asked to write.
 *
 * The status exchange file is StatusMonitorV3.ini in the shared documents
 * folder. Every function that writes it first makes sure it exists as a
 * UTF-16 file (the profile functions create a missing file in the ANSI code
 * page), and the writers of all processes that use this library take turns,
 * so one status is never mixed with another's keys.
 */
#ifndef MFPSM_DRIVER_H
#define MFPSM_DRIVER_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The most error codes one status carries: the monitor reads 48. */
#define MFPSMDRV_MAX_CODES 48
/* The longest "Status" value the monitor reads, in units with the terminator. */
#define MFPSMDRV_STATUS_UNITS 260
/* The longest printer name the monitor reads, with the terminator. */
#define MFPSMDRV_PRINTER_UNITS 256
/* Buffers for prompt answers: 16 or 28 characters and the terminator. */
#define MFPSMDRV_JOB_ID_UNITS 17
#define MFPSMDRV_SECURE_PASSWORD_UNITS 17
#define MFPSMDRV_USER_NAME_UNITS 29
#define MFPSMDRV_ACCOUNTING_PASSWORD_UNITS 29
/* The job INI's "Param" value: 3132 base64 characters and the terminator. */
#define MFPSMDRV_PARAM_UNITS 3133
/* The longest message line of a fax cover page, in units. */
#define MFPSMDRV_FAX_LINE_UNITS 999
/* Text values of the fax settings file: 259 units and the terminator. */
#define MFPSMDRV_FAX_TEXT_UNITS 260

/* A prompt ended with exit code 2: its answers did not reach the driver
 * (the printer refused to store them, or nobody could answer in session 0).
 * Nothing is handed over; cancel the job rather than print it. */
#define MFPSMDRV_ERROR_NO_ANSWERS ERROR_NOT_FOUND
/* A watermark or fax picture job ended without writing a new picture: the
 * file at the record's path is not this job's. Do not print it. */
#define MFPSMDRV_ERROR_NO_PICTURE ERROR_CANNOT_MAKE
/* The job's old picture stayed: another process held it open (exit code 3).
 * The file at the record's path is the old one. Do not print it. */
#define MFPSMDRV_ERROR_PICTURE_HELD ERROR_SHARING_VIOLATION

/* ------------------------------------------------------------------ */
/* Files in the shared documents folder                                */

/* path (units long) receives the shared documents folder, as mfpsm finds
 * it ("Common Documents" of the machine's shell folders), followed by name.
 * ERROR_FILENAME_EXCED_RANGE when it does not fit; the registry's or file
 * system's error when the folder cannot be found. */
DWORD MfpsmDrvSharedPath(const WCHAR *name, WCHAR *path, DWORD units);

/* The status exchange file's path, as MfpsmDrvSharedPath gives it. A missing
 * file is created holding only the UTF-16 mark FF FE; a file that appeared
 * meanwhile, or one that exists in another form, is left as it is (mfpsm
 * makes one without the mark anew when it starts). */
DWORD MfpsmDrvStatusFilePath(WCHAR *path, DWORD units);

/* ------------------------------------------------------------------ */
/* Status exchange file: what the resident monitor shows               */

/* Posts a status: writes PrinterName and JobID when given (printerName not
 * NULL, jobId not NULL), then Status (the codes, each closed by "|", then
 * "StoreName|storeName|" when storeName is not NULL), then a new change
 * stamp LastMsg, then Message = 1027. The stamp is one more than the one
 * in the file, never 0 and never one another process takes at the same
 * time; *stamp receives it when stamp is not NULL.
 *   codeCount 0 to 48 (0 posts an empty list, which changes nothing shown);
 *   the Status value must fit 259 units; storeName holds no "|";
 *   printerName at most 255 units; no text holds a line break, begins or
 *   ends with a blank or is enclosed in quotes (the profile functions would
 *   not give it back as written).
 * ERROR_INVALID_PARAMETER for input outside these rules, before anything
 * is written; ERROR_NO_UNICODE_TRANSLATION for text beyond ASCII while the
 * file lacks its UTF-16 mark; ERROR_TIMEOUT when another writer kept its
 * turn for 5 seconds. The printer is written as given, not looked up: the
 * monitor opens only printers this machine lists. */
DWORD MfpsmDrvPostStatus(const WCHAR *printerName, const DWORD *jobId, const LONG *codes, DWORD codeCount,
                         const WCHAR *storeName, DWORD *stamp);

/* The same with the Status value given whole, for a driver that keeps its
 * own list text (at most 259 units, the profile rules above). */
DWORD MfpsmDrvPostStatusText(const WCHAR *printerName, const DWORD *jobId, const WCHAR *statusText, DWORD *stamp);

/* Message = 1026: the monitor closes its dialog, clears the printer's status
 * and answers Message = 0 (see MfpsmDrvWaitForClose). */
DWORD MfpsmDrvCloseDialog(void);

/* ShowSM: FALSE lets the monitor set the printer's status and run job
 * commands without showing its dialog; TRUE shows it again. */
DWORD MfpsmDrvShowDialog(BOOL show);

/* *pressed receives TRUE when ContinuePrint reads 1: the user pressed
 * Continue (offered when the first code is 35 or 277). */
DWORD MfpsmDrvReadContinue(BOOL *pressed);

/* ContinuePrint = 0, once the driver has acted on a Continue, and before it
 * posts a status that offers Continue: the monitor never resets it, so a
 * press left from an earlier status would pass for this one's. The monitor
 * may write 1 again within about 300 ms of the press (it repairs a write
 * another process's rewrite undid), so act on one press per status. */
DWORD MfpsmDrvResetContinue(void);

/* Waits until Message reads 0, the monitor's answer to a close or to the
 * user's Delete; ERROR_TIMEOUT after timeoutMs (INFINITE waits on). */
DWORD MfpsmDrvWaitForClose(DWORD timeoutMs);

/* ------------------------------------------------------------------ */
/* Starting mfpsm                                                       */

/* program is the full path of mfpsm.exe. Every task runs in the caller's
 * session, as the caller: call these from the user's own process (the
 * printing application's driver user interface), not from a service. A
 * task that does not end within timeoutMs is ended (TerminateProcess) and
 * ERROR_TIMEOUT returned; INFINITE waits on. An exit code the task never
 * gives is ERROR_PROCESS_ABORTED. */

/* Starts "program install": the resident monitor of this session. Returns
 * once the monitor's window exists, or once the start has ended with 0 (a
 * monitor ran already, or this start may not stay resident, for instance
 * elevated or in session 0: the autostart value it wrote starts the monitor
 * at the user's next logon). ERROR_TIMEOUT leaves the process running. */
DWORD MfpsmDrvStartMonitor(const WCHAR *program, DWORD timeoutMs);

/* "program PREHEAT printer": wakes a USB printer before a job. A printer
 * this user cannot open is ERROR_INVALID_PRINTER_NAME (or the spooler's
 * error) before anything starts. */
DWORD MfpsmDrvPreheat(const WCHAR *program, const WCHAR *printerName, DWORD timeoutMs);

/* ------------------------------------------------------------------ */
/* Watermark and fax pictures                                           */

#pragma pack(push, 1)
/* The watermark settings record of a "CreateTextBMP" job, 2348 bytes, as
 * mfpsm reads it. Texts are UTF-16, ended by a zero unit inside their field
 * (MfpsmDrvCopyText fills them). The reserved ranges are the driver's own:
 * mfpsm never reads them, and they keep the later fields in place. */
typedef struct MfpsmDrvWatermark {
    BYTE reserved0[132];
    WCHAR wmText[260];     /* the watermark text */
    BYTE reserved1[2];
    WORD wDensity;         /* dot density in percent, 20-100 */
    WCHAR wmFaceName[32];  /* font face */
    WORD wFontSize;        /* points, 1-288 */
    WORD wStyle;           /* 1 bold, 2 italic, 3 both */
    WORD wAngleDegree;     /* counter-clockwise, 0-360 */
    WORD wPlacement;       /* 0 one centred copy, 1 tiled */
    BYTE reserved2[1052];
    SHORT xShift;          /* kept, not drawn */
    SHORT yShift;
    LONG nWidth;           /* picture size in pixels, above 0 */
    LONG nHeight;
    LONG nDstScale;        /* 1-2, multiplies the font size */
    LONG nPageDensity;     /* 1-7, at most nMaxPageDensity */
    LONG nMaxPageDensity;  /* 1-7 */
    LONG nTextScale;       /* percent, 5-200 */
    LONG nTableW;          /* set by the job from the halftone screen */
    LONG nTableH;
    WCHAR wmFileName[260]; /* full path of the BMP to write */
    DWORD HalftoneType;    /* the halftone screen */
    DWORD DriverType;      /* bit 0x200: a fax driver, the page from the fax files */
    BYTE reserved3[4];
} MfpsmDrvWatermark;
#pragma pack(pop)

#define MFPSMDRV_FAX_DRIVER 0x200

/* Copies text and its terminator into a field of units units and zeroes
 * the rest of it. ERROR_INSUFFICIENT_BUFFER, with the field as it was, when
 * text does not fit. */
DWORD MfpsmDrvCopyText(WCHAR *field, DWORD units, const WCHAR *text);

/* ERROR_SUCCESS when mfpsm would draw the record: every field within the
 * range noted above, the texts ended inside their fields, the picture at
 * most 512 MiB, and wmFileName a full path (a drive or a server share).
 * Otherwise ERROR_INVALID_PARAMETER, and *field (when field is not NULL)
 * names the first field that is not. */
DWORD MfpsmDrvCheckWatermark(const MfpsmDrvWatermark *wm, const char **field);

/* The record in base64, as the job INI holds it: 3132 characters and the
 * terminator into param (units long). The fields are taken as they are,
 * unchecked. ERROR_INSUFFICIENT_BUFFER when units is below 3133. */
DWORD MfpsmDrvEncodeWatermark(const MfpsmDrvWatermark *wm, WCHAR *param, DWORD units);

/* Writes the job INI file jobIni (a full path; keep it in a folder of the
 * user's own): section "Job Information", key "Param", the encoded record,
 * after MfpsmDrvCheckWatermark has passed it. */
DWORD MfpsmDrvWriteWatermarkJob(const WCHAR *jobIni, const MfpsmDrvWatermark *wm);

/* A picture end to end: writes the job INI, runs "program CreateTextBMP
 * jobIni" and returns ERROR_SUCCESS only when a new picture replaced (or
 * became) the file wmFileName names. MFPSMDRV_ERROR_PICTURE_HELD when the
 * old one stayed held, MFPSMDRV_ERROR_NO_PICTURE when the job wrote none;
 * in both cases the file there is not this job's. For a fax page write the
 * fax files first (MfpsmDrvWriteFaxFiles). */
DWORD MfpsmDrvCreateTextBmp(const WCHAR *program, const WCHAR *jobIni, const MfpsmDrvWatermark *wm, DWORD timeoutMs);

/* The fax files of a fax job. Text pointers left NULL write no key, so the
 * cover page shows its default ("nothing" for a sender field, the key's
 * own name for a label). */
typedef struct MfpsmDrvFax {
    LONG paperSize;   /* 9 A4, 12 B4, 8 A3 */
    LONG coverPage;   /* 1 cover page, 2 the "From: " line alone, 0 nothing */
    LONG orientation; /* 1: xres is the fax resolution, else yres */
    LONG xres;
    LONG yres;
    const WCHAR *name; /* sender: [SenderInformation] */
    const WCHAR *company;
    const WCHAR *department;
    const WCHAR *telephone;
    const WCHAR *faxNumber;
    const WCHAR *labelFax; /* title and fax number label: [SMTextOut] */
    const WCHAR *labelFrom;
    const WCHAR *labelCompany;
    const WCHAR *labelDepartment;
    const WCHAR *labelTelephone;
    const WCHAR *labelMessage;
    const WCHAR *const *messageLines; /* the user's message, lineCount lines */
    DWORD lineCount;
} MfpsmDrvFax;

/* Writes str.ini and cover.ini in the shared documents folder, UTF-16 with
 * the mark FF FE and lines ended by CR LF, each file replaced whole or not
 * at all. Texts at most 259 units, message lines at most 999, none with a
 * line break (ERROR_INVALID_PARAMETER before anything is written); the
 * other process's file that this user may not replace is its error. */
DWORD MfpsmDrvWriteFaxFiles(const MfpsmDrvFax *fax);

/* ------------------------------------------------------------------ */
/* Prompts: the user's answers for one job                              */

typedef struct MfpsmDrvPrompt {
    const WCHAR *program;     /* full path of mfpsm.exe */
    const WCHAR *printerName; /* the job's printer, at most 259 units */
    LANGID language;          /* 1028 Traditional, 2052 Simplified Chinese, else English */
    DWORD timeoutMs;          /* INFINITE: as long as the user takes */
} MfpsmDrvPrompt;

/* The secure print prompt end to end. Deletes the answers any earlier
 * prompt left on the printer (SecID, SecPassWord, SecRemoveFile, ActName,
 * ActPWD), starts "program security type printer language", lets it take
 * the foreground (call this while the caller's window is in front), waits,
 * reads the answers through the spooler, deletes them there at once and
 * copies them into the caller's buffers. type 1: a storage print (job ID
 * only; password may be NULL), 2: a security print (job ID and password).
 * Buffers of fewer units than MFPSMDRV_JOB_ID_UNITS and
 * MFPSMDRV_SECURE_PASSWORD_UNITS are ERROR_INSUFFICIENT_BUFFER before
 * anything starts. MFPSMDRV_ERROR_NO_ANSWERS when the answers did not reach
 * the driver. On any error the buffers hold empty texts. The printer is
 * opened with PRINTER_ACCESS_ADMINISTER, or where refused with
 * PRINTER_ACCESS_MANAGE_LIMITED, which a standard user needs granted. */
DWORD MfpsmDrvAskSecurePrint(const MfpsmDrvPrompt *prompt, DWORD type, WCHAR *jobId, DWORD jobIdUnits,
                             WCHAR *password, DWORD passwordUnits, BOOL *removeAfterPrinting);

/* The user authentication prompt end to end, in the same way: user name
 * and password, each a buffer of at least 29 units. */
DWORD MfpsmDrvAskAccounting(const MfpsmDrvPrompt *prompt, WCHAR *userName, DWORD userNameUnits, WCHAR *password,
                            DWORD passwordUnits);

#ifdef __cplusplus
}
#endif

#endif /* MFPSM_DRIVER_H */
