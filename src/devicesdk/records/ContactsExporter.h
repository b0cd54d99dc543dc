#pragma once

#include "RecordExporter.h"

// Contacts as vCard 3.0: one card per raw contact that is not deleted, built
// from its data rows (content://com.android.contacts/data) by mimetype: name,
// nickname, phones, e-mails, postal addresses, organisation, note, birthday,
// web sites and the photo, read with "content read".
class ContactsExporter : public RecordExporter
{
public:
    explicit ContactsExporter(PhoneShell &shell);

protected:
    ProviderResult Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten) override;

private:
    QByteArray ReadPhoto(const QString &strRawId, const QString &strContactId, bool bDisplayPhoto, int *pCode);
};
