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
    DVSK_DEV_ERR_BAD_CHOICE = 0xff17,    /* the device text names no back end */
    DVSK_DEV_ERR_NO_SERVER = 0xff18      /* no adb server answers and none can be started */
};

/* Chooses the back end: "sim" (the simulated phone), "adb" (the one usable
 * phone the adb server knows) or "adb:SERIAL". NULL or "" takes $DVSK_DEVICE,
 * else "adb". Takes effect for every later call; may be called again to
 * switch phones while no backup or restore runs (a phone picker does).
 * 0 = the text names a back end. */
DVSK_API int DVSK_Device_Select(const char *szDevice);

/* The device text in force: what DVSK_Device_Select took last, else what
 * $DVSK_DEVICE names, else "adb" (a phone picker preselects the phone an
 * "adb:SERIAL" names). UTF-8, freed by the caller. */
DVSK_API char *DVSK_Device_GetChoice(void);

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

/* Every phone the chosen back end can see, one line each ("\n" after every
 * line), fields separated by "\t", UTF-8, freed by the caller:
 *   SERIAL  STATE  CONNECTION  MODEL  DETAIL
 * STATE is one of "ready" (usable), "unauthorized" (the phone has not
 * accepted this computer's key), "offline", "no-permissions" (the USB device
 * is not accessible to this user), "connecting" (authorizing, connecting
 * and any other passing state); CONNECTION is "usb", "wifi" or "sim"; MODEL
 * may be empty; DETAIL is the server's own words for an unusable state (may
 * be empty). The simulated phone lists itself as one "sim" line, "ready"
 * while attached, "offline" while detached.
 * 0 = listed (the list may be empty); DVSK_DEV_ERR_NO_SERVER when no adb
 * server answers and none can be started (*ppText then holds the reason). */
DVSK_API int DVSK_Device_List(char **ppText);

/* Called on an SDK thread whenever the list above may have changed (a phone
 * arrived, left or changed state, or the adb server went away or came back).
 * One callback at a time; NULL stops watching (no callback runs once it
 * returns). The callback must not block, and must not call
 * DVSK_Device_WatchList or DVSK_Device_Select itself: it should hand the news
 * to the caller's own thread. */
typedef void (*DVSK_DeviceListCallback)(void);
DVSK_API void DVSK_Device_WatchList(DVSK_DeviceListCallback pCallback);

/* Asks the adb server to connect to a phone whose wireless debugging listens
 * at "HOST:PORT". 0 = connected; *ppMessage (when given) receives the
 * server's answer or why it failed (UTF-8, freed by the caller). */
DVSK_API int DVSK_Device_ConnectWifi(const char *szHostPort, char **ppMessage);

/* The opened phone's identity as "key=value" lines: serial (the phone's own
 * ro.serialno, not the transport serial, which for a phone on Wi-Fi is
 * IP:PORT and changes), manufacturer, model, android (version), backend
 * ("sim" or "adb"). UTF-8, freed by the caller; NULL when no phone is open. */
DVSK_API char *DVSK_Device_GetIdentity(void);

/* Called on the thread that runs DVSK_GetFile while one file is copied from
 * the phone: nBytes of szRemotePath (UTF-8) have arrived so far. Reports are
 * at least 256 KiB and 100 ms of copying apart, so small files get none; the
 * end of a file is DVSK_GetFile's return. The callback must not block. One
 * callback at a time; NULL stops the reports. */
typedef void (*DVSK_FileProgressCallback)(const char *szRemotePath, int64_t nBytes);
DVSK_API void DVSK_GetFile_RegProgressCallback(DVSK_FileProgressCallback pCallback);

#ifdef __cplusplus
}
#endif
