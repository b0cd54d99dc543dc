#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QListWidget;
class QPushButton;

// What a run could not do, behind a "Show details" button: a scrollable list
// of groups, each a heading (an item's name) followed by its lines (the phone
// paths of the files or applications that were not copied). Hidden while it
// has nothing to list. The button and the list are keyboard stops; a screen
// reader reads each line, paths without the marks that keep them left to
// right in a right-to-left page.
class ResultDetailsList : public QWidget
{
    Q_OBJECT
public:
    struct Group
    {
        QString strTitle;
        QStringList listLines;
    };

    explicit ResultDetailsList(QWidget *pParent = nullptr);

    // Replaces the groups and folds the list away; no lines hides the widget.
    void SetGroups(const QList<Group> &listGroups);
    // The button's texts while the list is folded away and while it shows,
    // and the list's accessible name.
    void SetTexts(const QString &strShow, const QString &strHide, const QString &strListName);
    void SetExpanded(bool bExpanded);
    bool IsExpanded() const { return m_bExpanded; }
    // The lines of every group, headings included, as a screen reader reads them.
    QStringList Lines() const;

    QPushButton *GetButton() const { return m_pButton; }
    QListWidget *GetList() const { return m_pList; }

signals:
    void signalExpandedChanged(bool bExpanded);

private slots:
    void slotToggle();

private:
    void UpdateButtonText();

    QPushButton *m_pButton = nullptr;
    QListWidget *m_pList = nullptr;
    QString m_strShow;
    QString m_strHide;
    bool m_bExpanded = false;
};
