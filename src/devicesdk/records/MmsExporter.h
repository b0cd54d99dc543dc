#pragma once

#include "RecordExporter.h"

class RecordXmlWriter;

// Multimedia messages (content://mms with each message's addresses and
// parts) as XML: <mmses> with one <mms> per message holding <addr> and
// <part> elements; text parts inline, other parts base64 from "content read",
// written on as the bytes arrive.
class MmsExporter : public RecordExporter
{
public:
    explicit MmsExporter(PhoneShell &shell);

protected:
    ProviderResult Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten) override;

private:
    ProviderResult WriteMessage(RecordXmlWriter &writer, const QStringList &listRow);
    ProviderResult WritePart(RecordXmlWriter &writer, const QStringList &listPart);
};
