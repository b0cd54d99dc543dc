#pragma once

/*
 * Putting data back on the chosen phone (not part of the real SDK's backup
 * calls): files, applications and records. Both back ends implement it: the
 * simulated phone writes into its phone folder (files under fs/, apps into
 * its app list, records into its providers), a real phone is written through
 * the adb server without root.
 *
 * Every call blocks until done and may run on any thread. DVSK_Restore_Cancel
 * (from another thread) makes a running call return DVSK_DEV_ERR_CANCELLED
 * soon. A phone that goes away makes it return DVSK_DEV_ERR_DISCONNECTED and
 * raises the device events 6006 and 6014 as during a backup. Texts handed out
 * are UTF-8 and freed by the caller with free().
 */

#include "dvsk.h"
#include "dvsk_device.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Failure codes of restore calls besides those of dvsk_device.h. */
enum {
    DVSK_RESTORE_ERR_EXISTS = 0xff20,          /* another file is already at that phone path */
    DVSK_RESTORE_ERR_NO_SPACE = 0xff21,        /* no space left on the phone */
    DVSK_RESTORE_ERR_REFUSED = 0xff22,         /* the phone refused; the message gives its reason */
    DVSK_RESTORE_ERR_NOT_RESTORABLE = 0xff23   /* this kind cannot be restored to this phone */
};

/* Size and modification time (seconds since 1970, UTC) of files on the phone.
 * szRemotePaths: phone paths, each followed by "\n". *ppText receives one line
 * per path, in the same order: "SIZE\tMTIME\n" for a regular file, "-\n" when
 * nothing is there, "?\n" when something else is there (a folder, a link).
 * 0 = every path was looked at. */
DVSK_API int DVSK_Restore_StatFiles(const char *szRemotePaths, char **ppText);

/* Called on the calling thread while DVSK_Restore_PutFiles runs. nResult -1:
 * progress, nBytes of file nIndex have been sent so far. Otherwise the file's
 * end: 0 written and in place, or a failure code with the phone's reason in
 * szMessage (may be NULL). Each file gets exactly one end call. */
typedef void (*DVSK_RestoreFileCallback)(void *pContext, int nIndex, int nResult, int64_t nBytes,
                                         const char *szMessage);

/* Writes PC files to the phone. szJobs: one line per file, "\n" after each,
 * fields separated by 0x18: LOCAL_PATH, PHONE_PATH, MTIME (decimal seconds).
 * Each file is written under a temporary name next to its phone path and
 * moved into place when complete, so a cut cable never leaves a half file
 * under a real name; an existing file at PHONE_PATH is never replaced
 * (DVSK_RESTORE_ERR_EXISTS for that file). The back end may keep several
 * files in flight. A full phone ends the call: the file that hit it ends with
 * DVSK_RESTORE_ERR_NO_SPACE and the rest are not attempted (no end call).
 * Returns 0 when every file got its end call (each may have failed), or the
 * code that stopped the call (cancelled, disconnected, no space). */
DVSK_API int DVSK_Restore_PutFiles(const char *szJobs, DVSK_RestoreFileCallback pCallback, void *pContext);

/* Asks the phone to index restored media files (phone paths, "\n" after
 * each) so that they show in its gallery and players. 0 = asked. */
DVSK_API int DVSK_Restore_ScanMedia(const char *szRemotePaths);

/* The installed applications: "PACKAGE\tVERSIONCODE\n" per app (user apps
 * and system apps; version 0 when the phone gives none). */
DVSK_API int DVSK_Restore_AppVersions(char **ppText);

/* Installs one application from its APK files (PC paths, "\n" after each;
 * several files are the base and split APKs of one app, installed in one
 * session that is abandoned on error). *ppMessage receives the phone's answer
 * ("Success", "Failure [INSTALL_FAILED_…: …]", or that the phone asks the user
 * to confirm on its screen). 0 = installed; DVSK_RESTORE_ERR_REFUSED when the
 * phone said no or waits for the user. */
DVSK_API int DVSK_Restore_InstallApp(const char *szApkPaths, char **ppMessage);

/* Whether records of this data type (the backup's type numbers) can be
 * restored to this phone. 0 = yes; DVSK_RESTORE_ERR_NOT_RESTORABLE with the
 * reason in *ppReason ("needs an app on the phone", "Android 12 or newer")
 * otherwise. */
DVSK_API int DVSK_Restore_RecordsAvailable(int nType, char **ppReason);

/* Restores the records of one data type from the PC file the backup wrote
 * for it (vCard for contacts, iCalendar for the calendar, the call-log
 * file). Records already on the phone are skipped, never doubled. Counts
 * come from the phone (counted before and after), never from what was sent.
 * *ppMessage (may be NULL) receives the phone's reason for failures. 0 = the
 * file was read and every record restored, skipped or counted as failed. */
DVSK_API int DVSK_Restore_Records(int nType, const char *szLocalFile, int *pRestored, int *pSkipped,
                                  int *pFailed, char **ppMessage);

/* Cancels the running restore calls; DVSK_Restore_ResetCancel allows the
 * next ones. */
DVSK_API void DVSK_Restore_Cancel(void);
DVSK_API void DVSK_Restore_ResetCancel(void);

#ifdef __cplusplus
}
#endif
