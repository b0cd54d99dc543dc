#pragma once

#include "RestoreDevice.h"
#include "RestorePlan.h"

#include <QHash>
#include <QList>
#include <QSet>

class RestoreSource;
struct BackupKind;

// Decides, before anything is written, what a restore does with each kind
// and file of a backup on the connected phone:
// - media go back to their phone paths; a file already there with the same
//   size and time is skipped; a different file there is never replaced: the
//   restored copy takes a free numbered name ("a (1).jpg"), or is skipped
//   when that name already holds the same file; paths in apps' private
//   folders are left out;
// - applications are skipped when the same or a newer version is installed;
// - contacts, calendar and call log go to the phone when it takes them;
//   messages, e-mail and application data need an app on the phone.
class RestorePlanner
{
public:
    explicit RestorePlanner(RestoreDevice &device);

    // Plans the kinds with the given codes, or every kind the backup holds
    // when the list is empty. 0, or the device's code that stopped it
    // (cancelled, phone disconnected).
    int Plan(const RestoreSource &source, const QList<int> &listCodes, RestorePlan &plan);

    // True for paths in an app's private folder (Android/data, Android/obb).
    static bool IsPrivateAppPath(const QString &strPhonePath);
    // An absolute phone path without "." or ".." parts or line breaks.
    static bool IsUsablePhonePath(const QString &strPhonePath);
    // "/sdcard/DCIM/a.jpg" with the number n: "/sdcard/DCIM/a (n).jpg".
    static QString NumberedPath(const QString &strPhonePath, int n);
    // Numbered names tried before a file is given up.
    static constexpr int kMaxNumberedNames = 100;

private:
    int PlanKind(const RestoreSource &source, const BackupKind &kind, RestorePlan::Kind &planned);
    int PlanRecords(const RestoreSource &source, const BackupKind &kind, RestorePlan::Kind &planned);
    int PlanApps(const RestoreSource &source, RestorePlan::Kind &planned);
    int PlanMedia(const RestoreSource &source, const BackupKind &kind, RestorePlan::Kind &planned);
    RestorePlan::Item MediaItem(const QString &strLocal, const QString &strPhonePath) const;
    // Looks at the phone's files at the items' targets; clashes get
    // numbered names. Items not to restore are left alone.
    int PlaceMedia(QList<RestorePlan::Item> &listItems);
    int ResolveClashes(QList<RestorePlan::Item> &listItems, QList<int> listClashing);

    RestoreDevice &m_device;
    // Phone paths planned in this run, so two files never get one target.
    QSet<QString> m_setPlanned;
};
