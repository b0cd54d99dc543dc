#pragma once

#include "RestorePage.h"
#include "RestorePlan.h"

#include <QList>

class QCheckBox;
class QGridLayout;
class QLabel;

// The restore wizard's second page: one check box per kind the backup holds,
// with its count in the backup and what is already on the phone. A kind that
// cannot be restored to this phone is shown unchecked and disabled with the
// reason, never left out.
class RestoreItemsWidget : public RestorePage
{
    Q_OBJECT
public:
    explicit RestoreItemsWidget(QWidget *pParent = nullptr);
    ~RestoreItemsWidget() override;

    // Shows "reading" until ShowPlan is called.
    void ShowReading(const QString &strBackupName);
    void ShowPlan(const RestorePlan &plan);
    // The checked kinds' codes.
    QList<int> CheckedCodes() const;
    // Checks the restorable kinds of the tiles named as the command line
    // names them ("contacts", "media", ..., "all") and unchecks the rest;
    // the number of kinds checked.
    Q_INVOKABLE int CheckOnlyTiles(const QStringList &listNames);
    // Checks the restorable kinds among listCodes and unchecks the rest.
    void CheckOnlyCodes(const QList<int> &listCodes);
    QList<QCheckBox *> CheckBoxes() const { return m_listBoxes; }
    QLabel *StateLabel() const { return m_pLabelState; }

    // How a planned kind reads on its check box.
    static QString KindText(const RestorePlan::Kind &kind);

signals:
    void signalStart(const QList<int> &listCodes);
    void signalBack();

protected:
    void InitMembers() override;
    void InitButtonText() override;
    void InitCons() override;

    bool event(QEvent *pEvent) override;

private:
    void ClearBoxes();
    void PlaceBoxes();
    void UpdateStart();

    QLabel *m_pLabelState = nullptr;
    QGridLayout *m_pGrid = nullptr;
    QList<QCheckBox *> m_listBoxes;
    QList<int> m_listCodes;
};
