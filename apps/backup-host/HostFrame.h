#pragma once

#include <QRect>
#include <QWidget>

class QLabel;
class QPushButton;
class StandardTitleBar;

// The host application's frame: a frameless window with the host's standard
// title bar, the area plugins are shown in (896 x 640) and a thin host strip
// below it that shows the phone's state (with a button that plugs the
// simulated phone in or out), a button that opens the backup again and the
// last call the host recorded.
class HostFrame : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kAreaWidth = 896;
    static constexpr int kAreaHeight = 640;
    static constexpr int kStripHeight = 28;

    explicit HostFrame(QWidget *pParent = nullptr);
    ~HostFrame() override;

    // Where plugins are shown; its rectangle is what they are given.
    QWidget *PluginArea() const { return m_pPluginArea; }
    QRect PluginRect() const { return QRect(0, 0, kAreaWidth, kAreaHeight); }
    StandardTitleBar *TitleBar() const { return m_pTitleBar; }
    // Keeps the host's title bar above a stand-in's page, below the backup
    // plugin's window (whose pages carry their own).
    void RaiseTitleBar();

public slots:
    void slotUpdatePhoneState();
    void slotHostCall(const QString &strLine);

signals:
    void signalMoved();
    void signalResized();
    // The user asks for the backup window again (it hides when a run ends).
    void signalShowBackupRequested();
    // The user closes the window; the frame closes once the receivers return.
    void signalClosing();

protected:
    void moveEvent(QMoveEvent *pEvent) override;
    void resizeEvent(QResizeEvent *pEvent) override;
    void closeEvent(QCloseEvent *pEvent) override;

private slots:
    void slotTogglePhone();

private:
    QWidget *m_pPluginArea = nullptr;
    StandardTitleBar *m_pTitleBar = nullptr;
    QLabel *m_pLabelPhone = nullptr;
    QPushButton *m_pBtnPhone = nullptr;
    QPushButton *m_pBtnBackup = nullptr;
    QLabel *m_pLabelCall = nullptr;
    QString m_strPhoneName;
    QString m_strPhoneChoice; // the device text m_strPhoneName belongs to
    bool m_bClosing = false;
};
