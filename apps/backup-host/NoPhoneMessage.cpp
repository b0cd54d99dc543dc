#include "NoPhoneMessage.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace
{
QString Reason(const QString &strReason)
{
    const QString strTrimmed = strReason.trimmed();
    return strTrimmed.isEmpty() ? QStringLiteral("No phone found.") : strTrimmed;
}
} // namespace

QString NoPhoneMessage::Title()
{
    return QStringLiteral("Phone backup");
}

QString NoPhoneMessage::Text(const QString &strReason)
{
    return QStringLiteral("The backup cannot start.\n\n%1\n\nStart the backup again once the phone is ready.")
        .arg(Reason(strReason));
}

QString NoPhoneMessage::TerminalLine(const QString &strReason)
{
    return QStringLiteral("backup-host: %1").arg(Reason(strReason));
}

bool NoPhoneMessage::ShowsBox(bool bHeadless, const QString &strPlatform)
{
    return !bHeadless && strPlatform != QLatin1String("offscreen") && strPlatform != QLatin1String("minimal");
}

std::unique_ptr<QMessageBox> NoPhoneMessage::MakeBox(const QString &strReason)
{
    auto pBox = std::make_unique<QMessageBox>(QMessageBox::Critical, Title(), Text(strReason), QMessageBox::Ok);
    // The reason is the phone back end's text, never markup.
    pBox->setTextFormat(Qt::PlainText);
    return pBox;
}

void NoPhoneMessage::Report(const QString &strReason, bool bHeadless)
{
    std::fprintf(stderr, "%s\n", qPrintable(TerminalLine(strReason)));
    if (ShowsBox(bHeadless, QGuiApplication::platformName()))
        MakeBox(strReason)->exec();
}
