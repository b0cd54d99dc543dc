#pragma once

#include <QString>

// Every reason and word a restore shows to its user, in one place, so that
// the command line and the window say the same things.
class RestoreTexts
{
public:
    // Why a kind or a file is left out.
    static QString NeedsAppOnPhone();
    static QString NotInBackup();
    static QString PrivateFolder();
    static QString UnusablePhonePath();
    static QString UnusableListName();
    static QString MissingFromBackup();
    static QString NoFreeName();
    static QString NotAvailableOnPhone();
    // Why something was skipped.
    static QString AlreadyAs(const QString &strTarget);
    static QString InstalledVersion(qint64 nInstalled, qint64 nBackedUp);
    // How a run or a file ended.
    static QString PhoneDisconnected();
    static QString Cancelled();
    static QString NoSpace();
    static QString ExistsOnPhone();
    static QString NotAttempted(const QString &strWhy);
    // The phone's reason, or the code when it gave none.
    static QString PhoneFailure(int nCode, const QString &strMessage);
    // How the summary names a kind ("contacts", "images", ...).
    static QString KindName(int nCode);
};
