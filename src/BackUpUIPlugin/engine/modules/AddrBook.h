#pragma once

#include "RecordModule.h"

// Backs up the phone's contacts into one result file.
class AddrBook : public RecordModule
{
    Q_OBJECT
public:
    explicit AddrBook(QObject *pParent = nullptr);
    ~AddrBook() override;
};
