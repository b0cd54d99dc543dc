#pragma once

#include "RecordModule.h"

// Backs up the phone's browser bookmarks into one result file.
class Bookmark : public RecordModule
{
    Q_OBJECT
public:
    explicit Bookmark(QObject *pParent = nullptr);
    ~Bookmark() override;
};
