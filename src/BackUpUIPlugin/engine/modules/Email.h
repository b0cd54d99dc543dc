#pragma once

#include "RecordModule.h"

// Backs up the phone's e-mail into one result file.
class Email : public RecordModule
{
    Q_OBJECT
public:
    explicit Email(QObject *pParent = nullptr);
    ~Email() override;
};
