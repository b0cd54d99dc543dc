#pragma once

#include "RecordModule.h"

// Backs up the phone's multimedia messages into one result file.
class MMS : public RecordModule
{
    Q_OBJECT
public:
    explicit MMS(QObject *pParent = nullptr);
    ~MMS() override;
};
