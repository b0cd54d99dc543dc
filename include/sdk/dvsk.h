#pragma once

/*
 * The device SDK: plain C functions with the prefix DVSK_ and two callbacks.
 *
 * Memory the SDK hands out (result texts of file-type backups, the memory
 * record list, the user data folder) is released by the caller with free().
 * The result text "error" and the result texts of record-type backups belong
 * to the SDK and must not be freed.
 */

#include <stdint.h>
#include <wchar.h>

#if defined(DVSK_BUILD)
#define DVSK_API __attribute__((visibility("default")))
#else
#define DVSK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Device events. */
enum {
    DVSK_EVENT_DEVICE_ACTIVE = 6004,
    DVSK_EVENT_DEVICE_REMOVED = 6006,
    DVSK_EVENT_SERVICE_LOST = 6014
};

/* DVSK_GetFile results besides 0 (copied). */
enum {
    DVSK_ERR_BUSY = 20,
    DVSK_ERR_FILE_NOT_EXIST = 0xff06
};

/* DVSK_GetBackUpCount and DVSK_BackUp result: the phone does not give this
 * kind of data (for example application data without root). */
enum {
    DVSK_ERR_NOT_AVAILABLE = 0xff11
};

/* Called with one event code; returns 1. */
typedef int (*DVSK_DevInitEventCallback)(int nEvent);

/* Called on SDK threads while DVSK_BackUp runs: nCount of nAll items done
 * (nCount -1 carries no count). With nCount -1111 the fourth argument is a
 * pointer to the NUL-terminated UTF-8 phone-side path of the result file.
 * The argument is pointer-sized so that it can carry that pointer. */
typedef int (*DVSK_BackupCallback)(int nType, int nPlugin, int nCount, intptr_t nAll);

/* One storage of the phone: kind 1 or 2; free bytes are (nTotal - nUsed) * nUnit.
 * An nTotal with all bits set means the phone gave no value. */
typedef struct DVSK_MemInfo {
    int64_t nType;
    int64_t nTotal;
    int64_t nUsed;
    int64_t nUnit;
} DVSK_MemInfo;

DVSK_API void DVSK_DevSrv_RegisterDevInitEventCallback(DVSK_DevInitEventCallback pCallback);
DVSK_API void DVSK_Backup_RegCallBack(DVSK_BackupCallback pCallback);
DVSK_API void DVSK_Backup_UnRegCallBack(DVSK_BackupCallback pCallback);

/* Backs up one data type on the phone. 0 = success; *ppText then holds
 * "error" or a UTF-8 result text: for the file types 9, 16, 17, 18 the list
 * of the phone's files (lines separated by "\r\n", fields by 0x18; freed by
 * the caller), for the other types an SDK-owned text. */
DVSK_API int DVSK_BackUp(int nType, const char *szName, char **ppText);

/* Copies a phone file to the PC. 0 = copied; DVSK_ERR_BUSY, DVSK_ERR_FILE_NOT_EXIST
 * or another non-zero code on failure. */
DVSK_API int DVSK_GetFile(const char *szLocalPath, const char *szRemotePath, int nMode);

/* Item count and size in kilobytes of one data type. 0 = success. */
DVSK_API int DVSK_GetBackUpCount(int nType, int *pCount, int *pSize);

/* Negative = failure; otherwise the number of records, and *ppList points to
 * a list of that many records (never null on success; freed by the caller). */
DVSK_API int DVSK_Mobile_MemInfo(DVSK_MemInfo **ppList);

DVSK_API void DVSK_SetBackup_Cancel(unsigned char bCancel);
DVSK_API void DVSK_Backup_Cancel(void);
DVSK_API void DVSK_Operation_Cancel(const char *szShellCommand);
DVSK_API void DVSK_Reset(void);

/* The user's data folder, ending with a separator; freed by the caller.
 * 0 = success. */
DVSK_API int DVSK_GetUserDataDirectory(wchar_t **ppDir);

#ifdef __cplusplus
}
#endif
