#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// Tells whoever hosts the plugin how each backup run ended, in the words the
// command-line tool uses, so that a host without a user in front of it (the
// host application's headless mode, a log) can report the run. It follows
// the worker thread and reads the factory's record of the run. Found by its
// object name "BackUpUIPlugin_RunReport" among the plugin object's children;
// hosts connect to signalRunEnded by its signature.
class BackUpRunReport : public QObject
{
    Q_OBJECT
public:
    explicit BackUpRunReport(QObject *pParent = nullptr);

    // The report of the last run that ended (empty before).
    QVariantMap LastReport() const { return m_mapLast; }

    // Keys of a report.
    static constexpr const char *kResult = "result";           // int: failed mask, or < 0
    static constexpr const char *kCancelled = "cancelled";     // bool
    static constexpr const char *kDestination = "destination"; // QString
    static constexpr const char *kPackage = "package";         // QString: the run's package path
    static constexpr const char *kDelivered = "delivered";     // bool
    static constexpr const char *kFolder = "folder";           // QString: the run's backup folder
    static constexpr const char *kSummary = "summary";         // QStringList
    static constexpr const char *kExitStatus = "exitStatus";   // int: 0, 1, or 130 when cancelled

signals:
    void signalRunEnded(const QVariantMap &mapReport);

private slots:
    void slotFinished(int nResult);
    void slotCancelled();

private:
    void Publish(QVariantMap mapReport);

    QVariantMap m_mapLast;
};
