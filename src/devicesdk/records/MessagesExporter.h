#pragma once

#include "RecordExporter.h"

// Text messages (content://sms) or multimedia messages (content://mms with
// their addresses and parts) as XML: <smses> with one <sms> per message, or
// <mmses> with one <mms> per message holding <addr> and <part> elements;
// text parts inline, other parts base64 from "content read".
class MessagesExporter : public RecordExporter
{
public:
    enum Kind { Sms, Mms };

    MessagesExporter(PhoneShell &shell, Kind eKind);

    ProviderResult Count(int *pCount) override;
    ProviderResult Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten) override;

private:
    ProviderResult WriteMms(class RecordXmlWriter &writer, const QStringList &listRow);

    const Kind m_eKind;
    const QStringList m_listColumns;
};
