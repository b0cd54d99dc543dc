#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CustomPopupDialog;
class QLabel;
class QPushButton;
class QWidget;

// Reads and operates the backup wizard through its widget tree only: pages
// are found by class name, widgets by the object names the host's style sheet
// knows them by, buttons by their translated texts. This is all a host sees
// of a plugin, so it works on a plugin loaded from its library.
class WizardView
{
public:
    struct Tile
    {
        QString strWord;  // the object-name word: "Contacts", "Information", ...
        QString strTitle; // the title shown on the tile
        QString strCount; // the count shown on the tile
        bool bChecked = false;
        bool bEnabled = false;
    };

    explicit WizardView(QWidget *pWindow);

    QWidget *Window() const { return m_pWindow; }
    QWidget *PreparePage() const;
    QWidget *ProgressPage() const;
    QWidget *ResultPage() const;
    // The page that waits for a phone (shown before the others while no
    // usable phone is connected).
    QWidget *ConnectPage() const;
    // What the connect page says while it is shown (its title and the
    // phones' states, in the user's language); empty when it is not shown.
    QString ConnectState() const;
    // The page the user sees (null when the window or no page is visible).
    QWidget *CurrentPage() const;

    // The prepare page is shown and its waiting overlay is gone.
    bool IsCountingDone() const;
    QList<Tile> Tiles() const;
    // Clicks the tile when its state differs; false when there is no such
    // tile or it cannot be checked (disabled).
    bool SetTileChecked(const QString &strWord, bool bChecked);
    // The destination as the prepare page shows it (full path).
    QString Destination() const;
    // The free-space warning, when it is shown.
    QString SpaceWarning() const;

    QPushButton *NextButton() const;
    QPushButton *BrowseButton() const;
    QPushButton *ProgressCancelButton() const;
    QPushButton *FinishButton() const;
    CustomPopupDialog *CancelDialog() const;

    // The percentage the progress page's bubble shows (-1 when unknown).
    int ProgressPercent() const;
    QString ProgressTip() const;
    // The result page's texts, top to bottom, as plain text.
    QStringList ResultTexts() const;

    // Presses browse and picks strFolder in the folder dialog that opens;
    // false when the dialog did not appear or did not take the folder.
    bool Browse(const QString &strFolder);

    static QPushButton *FindButton(QWidget *pPage, const QString &strObjectName, const QString &strText = QString());
    static QString PlainText(const QLabel *pLabel);

private:
    QWidget *FindPage(const char *szClassName) const;

    QWidget *m_pWindow;
};
