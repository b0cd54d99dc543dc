#pragma once

/*
 * Choosing and opening the phone the SDK serves (not part of the real SDK,
 * which finds its phones itself). Two back ends: the simulated phone served
 * from a folder (the default) and a real Android phone reached through the
 * adb server.
 */

#include "dvsk.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Failure codes of the real-phone back end. */
enum {
    DVSK_DEV_ERR_NO_PHONE = 0xff10,      /* no usable phone: none, several, or not allowed */
    DVSK_DEV_ERR_NOT_AVAILABLE = DVSK_ERR_NOT_AVAILABLE, /* this phone does not give this kind of data */
    DVSK_DEV_ERR_DISCONNECTED = 0xff12,  /* the phone or the adb server went away */
    DVSK_DEV_ERR_CANCELLED = 0xff13,     /* cancelled or reset while running */
    DVSK_DEV_ERR_PHONE_IO = 0xff14,      /* the phone refused or failed the request */
    DVSK_DEV_ERR_LOCAL_FILE = 0xff15,    /* the PC-side file cannot be written */
    DVSK_DEV_ERR_BAD_ARGUMENT = 0xff16,  /* a null pointer, an unknown type or mode */
    DVSK_DEV_ERR_BAD_CHOICE = 0xff17     /* the device text names no back end */
};

/* Chooses the back end: "sim" (the simulated phone), "adb" (the one phone the
 * adb server knows) or "adb:SERIAL". NULL or "" takes $DVSK_DEVICE, else
 * "sim". Takes effect for every later call; call it before the first one.
 * 0 = the text names a back end. */
DVSK_API int DVSK_Device_Select(const char *szDevice);

/* Connects to the chosen phone. 0 = ready. Otherwise *ppMessage (when given)
 * receives a UTF-8 text for the user saying why and what to do (for example
 * which phones there are, or "Allow USB debugging on the phone"), freed by
 * the caller. */
DVSK_API int DVSK_Device_Open(char **ppMessage);

/* "sim" or "adb" (static text). */
DVSK_API const char *DVSK_Device_Kind(void);

/* The phone's name, firmware version and IMEI (or, where the phone does not
 * give it, its serial number), "\n"-separated, UTF-8, freed by the caller. */
DVSK_API char *DVSK_Device_GetInfo(void);

/* 1 while the phone is connected. */
DVSK_API int DVSK_Device_IsAttached(void);

#ifdef __cplusplus
}
#endif
