#pragma once

#include "HostExport.h"
#include "ListPipeItem.h"

#include <QString>
#include <QStringList>

class ILayoutPlugin;

// Static services of the host's core library.
//
// Settings live in an INI file: $PELORIX_HOST_SETTINGS when set, else
// <config folder>/Pelorix/host.ini. Calls that have no visible effect on a
// desktop (notifications, usage records) are recorded in HostCallLog.
class HOSTCORE_EXPORT CommonUtils
{
public:
    static QString GetSettings(const QString &strSection, const QString &strKey);
    static void SetSettings(const QString &strSection, const QString &strKey, const QString &strValue);
    // The INI file in use (for tests and diagnostics).
    static QString SettingsFilePath();

    // The user's documents folder ($PELORIX_HOST_DOCUMENTS overrides it).
    static QString GetFilePath();
    // The host's install folder ($PELORIX_HOST_ROOT overrides it): holds
    // bin/, lib/, plugins/, skin/ and translations/.
    static QString GetPluginLibraryPath();

    static ILayoutPlugin *GetLayoutPlugin();
    static void SetLayoutPlugin(ILayoutPlugin *pLayout);

    static void SendNotify(const QString &strTarget, int nCode, int nValue1, int nValue2);

    static void ThreadCountInc();
    static void ThreadCountDec();
    static int ThreadCount();

    static bool GetCloseFlag();
    static void SetCloseFlag(bool bClosing);

    // Phone name, firmware version and the phone's IMEI, from the device SDK.
    static QStringList GetDeviceInfo();

    // 3 means the host is busy with the phone.
    static int GetOperationStatus(int nOperation);
    static void SetOperationStatus(int nOperation, int nStatus);

    static void setListPipeItem(const ListPipeItem &item);
    static QString getPhoneTypeAndImei();
    static QString getDatetimeAndVersionString();
};
