#pragma once

#include "BackupCatalog.h"
#include "RestorePage.h"

class QLabel;
class QListWidget;
class QPushButton;

// The restore wizard's first page: the backups found in a folder, newest
// first, each with the phone, the date, the size, what it holds and whether
// it verifies. A damaged backup, or one a cut cable interrupted, is listed
// with the reason but cannot be chosen; a backup of another phone than the
// connected one can, with a note that says so.
class RestoreChooseWidget : public RestorePage
{
    Q_OBJECT
public:
    explicit RestoreChooseWidget(QWidget *pParent = nullptr);
    ~RestoreChooseWidget() override;

    // Lists the backups in strFolder; strPhoneSerial names the connected
    // phone (empty: unknown). Selects strPreferred when it is listed.
    void ShowFolder(const QString &strFolder, const QString &strPhoneSerial, const QString &strPreferred = QString());
    QString Folder() const { return m_strFolder; }
    const QList<BackupCatalog::Entry> &Entries() const { return m_listEntries; }
    // The chosen backup's row, -1 when none.
    int ChosenRow() const;
    QListWidget *List() const { return m_pList; }
    QLabel *NoteLabel() const { return m_pLabelNote; }
    QPushButton *ChangeButton() const { return m_pBtnChange; }

    // One line of facts about a backup, as the list shows it.
    static QString Describe(const BackupCatalog::Entry &entry);

signals:
    void signalChosen(const BackupCatalog::Entry &entry);
    void signalCancelled();

protected:
    void InitMembers() override;
    void InitButtonText() override;
    void InitCons() override;
    // The list, when it holds a backup that can be chosen.
    QWidget *FirstFocusWidget() const override;

private slots:
    void slotChangeFolder();
    void slotSelectionChanged();

private:
    static QString CountsText(const BackupCatalog::Entry &entry);

    QLabel *m_pLabelFolder = nullptr;
    QPushButton *m_pBtnChange = nullptr;
    QListWidget *m_pList = nullptr;
    QLabel *m_pLabelNote = nullptr;
    QString m_strFolder;
    QString m_strPhoneSerial;
    QList<BackupCatalog::Entry> m_listEntries;
};
