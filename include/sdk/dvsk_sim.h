#pragma once

/*
 * Control functions of the simulated phone (not part of the real SDK): the
 * host application, the tools and the tests use them to pick a phone, attach
 * and detach it, and read what the engine asked of it.
 */

#include "dvsk.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Failure codes of the simulated phone besides those of dvsk.h. */
enum {
    DVSK_SIM_ERR_BAD_ARGUMENT = 0xff01, /* a null pointer or an unsupported mode */
    DVSK_SIM_ERR_NO_PHONE = 0xff02,     /* the phone folder has no readable phone.ini */
    DVSK_SIM_ERR_DETACHED = 0xff03,     /* the phone is not attached */
    DVSK_SIM_ERR_CANCELLED = 0xff04,    /* cancelled, reset or unplugged while running */
    DVSK_SIM_ERR_LOCAL_FILE = 0xff05,   /* the PC-side file cannot be written */
    DVSK_SIM_ERR_UNKNOWN_TYPE = 0xff07, /* a data type the phone does not know */
    DVSK_SIM_ERR_PHONE_IO = 0xff08,     /* the phone could not read or build a file */
    DVSK_SIM_ERR_BAD_PHONE_INI = 0xff09 /* phone.ini is there but not well-formed */
};

/* Serves the phone in this folder (NULL: $DVSK_SIM_PHONE, else the bundled
 * sample phone). Returns 0 when the folder holds a readable phone.ini,
 * DVSK_SIM_ERR_BAD_PHONE_INI when it holds one that is not well-formed, else
 * DVSK_SIM_ERR_NO_PHONE. */
DVSK_API int DVSK_Sim_SetPhoneDir(const char *szPhoneDir);

/* The folder of the phone being served (UTF-8, freed by the caller). */
DVSK_API char *DVSK_Sim_GetPhoneDir(void);

/* The phone's name, firmware version and IMEI, "\n"-separated (UTF-8, freed
 * by the caller); the host's device information comes from here. */
DVSK_API char *DVSK_Sim_GetDeviceInfo(void);

/* Attaches the phone: raises 6004 on an SDK thread. */
DVSK_API void DVSK_Sim_Attach(void);
/* Detaches the phone: raises 6006, then 6014, on an SDK thread. Until the next
 * attach every phone operation fails. */
DVSK_API void DVSK_Sim_Detach(void);
/* 1 while the phone is attached. */
DVSK_API int DVSK_Sim_IsAttached(void);

/* The calls the engine made (cancel, reset, shell commands, backups, copies),
 * one line each, "\n"-separated, oldest first (freed by the caller). */
DVSK_API char *DVSK_Sim_GetCallLog(void);
DVSK_API void DVSK_Sim_ClearCallLog(void);

#ifdef __cplusplus
}
#endif
