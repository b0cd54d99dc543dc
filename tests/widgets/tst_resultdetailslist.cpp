// The list of what a run could not copy, behind "Show details": folded away
// at first, headings that cannot be chosen, paths a screen reader reads
// plainly, and reachable from the keyboard.
#include "ResultDetailsList.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace
{
const QList<ResultDetailsList::Group> kGroups = {
    {QStringLiteral("Images"), {QStringLiteral("/sdcard/DCIM/p1.jpg"), QStringLiteral("/sdcard/DCIM/p7.jpg")}},
    {QStringLiteral("Videos"), {}},
    {QStringLiteral("Applications"), {QStringLiteral("/data/app/com.example.notes.apk")}},
};
} // namespace

class tst_ResultDetailsList : public QObject
{
    Q_OBJECT

private slots:
    void groups_data();
    void groups();
    void keyboard();
    void emptyHides();
};

void tst_ResultDetailsList::groups_data()
{
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("left to right") << Qt::LeftToRight;
    QTest::newRow("right to left") << Qt::RightToLeft;
}

void tst_ResultDetailsList::groups()
{
    QFETCH(Qt::LayoutDirection, direction);
    ResultDetailsList details;
    details.setLayoutDirection(direction);
    details.SetTexts(QStringLiteral("Show details"), QStringLiteral("Hide details"), QStringLiteral("Not copied"));
    details.SetGroups(kGroups);
    details.show();
    QVERIFY(QTest::qWaitForWindowExposed(&details));

    // A group without lines is left out; headings come before their lines.
    QCOMPARE(details.Lines(), (QStringList{"Images", "/sdcard/DCIM/p1.jpg", "/sdcard/DCIM/p7.jpg", "Applications",
                                           "/data/app/com.example.notes.apk"}));
    QListWidget *pList = details.GetList();
    QCOMPARE(pList->count(), 5);
    QVERIFY(!(pList->item(0)->flags() & Qt::ItemIsSelectable));
    QVERIFY(pList->item(1)->flags() & Qt::ItemIsSelectable);
    QCOMPARE(pList->currentRow(), 1);
    QCOMPARE(pList->accessibleName(), QStringLiteral("Not copied"));
    // Shown left to right in either direction, read without marks.
    const QString strShown = pList->item(1)->text();
    QCOMPARE(strShown.contains(QChar(0x202A)), direction == Qt::RightToLeft);
    QCOMPARE(pList->item(1)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("/sdcard/DCIM/p1.jpg"));

    // Folded away until asked for.
    QVERIFY(!pList->isVisible());
    QCOMPARE(details.GetButton()->text(), QStringLiteral("Show details"));
    QSignalSpy spy(&details, &ResultDetailsList::signalExpandedChanged);
    details.GetButton()->click();
    QVERIFY(pList->isVisible());
    QCOMPARE(details.GetButton()->text(), QStringLiteral("Hide details"));
    QCOMPARE(spy.count(), 1);
    // New groups fold it away again.
    details.SetGroups(kGroups.mid(0, 1));
    QVERIFY(!pList->isVisible() && !details.IsExpanded());
    QCOMPARE(pList->count(), 3);
}

void tst_ResultDetailsList::keyboard()
{
    QWidget window;
    auto *pBefore = new QPushButton(QStringLiteral("before"), &window);
    auto *pDetails = new ResultDetailsList(&window);
    pDetails->move(0, 40);
    pDetails->SetTexts(QStringLiteral("Show details"), QStringLiteral("Hide details"), QStringLiteral("Not copied"));
    pDetails->SetGroups(kGroups);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    pBefore->setFocus(Qt::TabFocusReason);

    // Tab reaches the button, Space opens the list and goes into it, the
    // arrows walk its paths, and a later Tab leaves it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), pDetails->GetButton());
    QTest::keyClick(pDetails->GetButton(), Qt::Key_Space);
    QVERIFY(pDetails->IsExpanded());
    QCOMPARE(QApplication::focusWidget(), pDetails->GetList());
    QTest::keyClick(pDetails->GetList(), Qt::Key_Down);
    QCOMPARE(pDetails->GetList()->currentItem()->data(Qt::AccessibleTextRole).toString(),
             QStringLiteral("/sdcard/DCIM/p7.jpg"));
    QTest::keyClick(pDetails->GetList(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), pBefore);
    // Folded away, the list is no keyboard stop.
    pDetails->SetExpanded(false);
    pBefore->setFocus(Qt::TabFocusReason);
    QTest::keyClick(pBefore, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), pBefore);
}

void tst_ResultDetailsList::emptyHides()
{
    QWidget window;
    auto *pDetails = new ResultDetailsList(&window);
    window.show();
    pDetails->SetGroups(kGroups);
    QVERIFY(pDetails->isVisible());
    pDetails->SetGroups({{QStringLiteral("Videos"), {}}});
    QVERIFY(!pDetails->isVisible());
    QVERIFY(pDetails->Lines().isEmpty());
}

QTEST_MAIN(tst_ResultDetailsList)
#include "tst_resultdetailslist.moc"
