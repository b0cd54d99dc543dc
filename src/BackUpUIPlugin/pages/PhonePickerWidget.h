#pragma once

#include "PhoneList.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;

// The list of phones to choose from when several are usable: each row gives
// the model, the serial and whether the phone is on USB or Wi-Fi. Phones
// that cannot be used are listed with their reason and cannot be picked.
// The arrow keys move between the usable rows; Enter or a double click
// picks one (signalPicked).
class PhonePickerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PhonePickerWidget(QWidget *pParent = nullptr);
    ~PhonePickerWidget() override;

    // Shows the list's phones; the current choice stays when its phone is
    // still usable, else the first usable phone is chosen.
    void SetPhones(const PhoneList &list);
    // The chosen phone; false when none can be chosen.
    bool ChosenPhone(PhoneList::Phone &phone) const;
    // Chooses the usable phone with this serial; false when there is none.
    bool Choose(const QString &strSerial);

    QListWidget *List() const { return m_pList; }

signals:
    void signalPicked();

private:
    void OnActivated(QListWidgetItem *pItem);

    QLabel *m_pLabelDescription = nullptr;
    QListWidget *m_pList = nullptr;
    QList<PhoneList::Phone> m_listPhones;
};
