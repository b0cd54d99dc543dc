#include "DeviceRestore.h"

#include "RestoreRequest.h"
#include "sdk/dvsk_device.h"

#include <cstdlib>

int DeviceRestore::StartRecords(int nType, const char *szLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                                char **ppMessage)
{
    if (ppMessage)
        *ppMessage = nullptr;
    if (!szLocalFile || !pRestored || !pSkipped || !pFailed)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *pRestored = *pSkipped = *pFailed = 0;
    char *szReason = nullptr;
    if (const int nAvailable = RecordsAvailable(nType, &szReason)) {
        if (ppMessage)
            *ppMessage = szReason;
        else
            free(szReason);
        return nAvailable;
    }
    if (!RestoreRequest::IsRestorableRecordType(nType))
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    return 0;
}
