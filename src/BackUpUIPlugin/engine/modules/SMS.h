#pragma once

#include "RecordModule.h"

// Backs up the phone's text messages into one result file.
class SMS : public RecordModule
{
    Q_OBJECT
public:
    explicit SMS(QObject *pParent = nullptr);
    ~SMS() override;
};
