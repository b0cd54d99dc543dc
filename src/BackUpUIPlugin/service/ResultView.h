#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// What the outside backup manager fills in after a run: the result page's
// outcome and detail texts. The result page implements it, so the manager
// needs no page class.
class ResultView
{
public:
    // How the run ended, which sets the page's headline and picture.
    enum class Outcome
    {
        Complete,     // every selected item was backed up
        PartlyFailed, // a package was kept, but some items failed
        Failed,       // nothing of the run was kept
        Interrupted   // the phone went away; the files copied so far were
                      // kept, without a package, for the next run to finish
    };
    // The translation key of the headline of an outcome.
    static const char *HeadlineKey(Outcome outcome);

    // Each stores its value; the view shows them when it is next shown.
    virtual void SetOutcome(Outcome outcome) = 0;
    virtual void SetResultCaption(const QString &strCaption) = 0;
    virtual void SetResultValue(const QString &strValue) = 0;
    virtual void SetResultNote(const QString &strNote) = 0;
    virtual void SetContactsTip(const QString &strTip) = 0;
    virtual void SetApkTip(const QString &strTip) = 0;
    // Names the selected items the phone does not give at all (empty: none).
    virtual void SetNotAvailableTip(const QString &strTip) = 0;
    // The folder the backup package was written to (empty: none).
    virtual void SetBackupFolder(const QString &strFolder) = 0;
    // Whether the run can simply be tried again once a phone is connected
    // (the phone went away, or there was none when it started).
    virtual void SetRetryOffered(bool bOffered) = 0;
    // What the run saved: the counts per item, the total size and the
    // package's name, one line each (empty: nothing was saved).
    virtual void SetRunSummary(const QString &strSummary) = 0;
    // What could not be copied: per item its name and the phone paths of its
    // files or applications (empty: everything was copied).
    using NotCopiedList = QList<QPair<QString, QStringList>>;
    virtual void SetNotCopied(const NotCopiedList &listNotCopied) = 0;

protected:
    ResultView() = default;
    virtual ~ResultView();
    ResultView(const ResultView &) = delete;
    ResultView &operator=(const ResultView &) = delete;
};
