#pragma once

#include "RecordExporter.h"

// The call log (content://call_log/calls) as XML: <calls> with one <call>
// per call: number, name, date (ms), duration (s), type.
class CallLogExporter : public RecordExporter
{
public:
    explicit CallLogExporter(PhoneShell &shell);

    ProviderResult Count(int *pCount) override;
    ProviderResult Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten) override;
};
