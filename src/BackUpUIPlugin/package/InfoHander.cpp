#include "InfoHander.h"

#include <QRegularExpression>

namespace
{
// Leaf elements "<Name>text</Name>"; the text is taken as it stands.
const QRegularExpression &LeafPattern()
{
    static const QRegularExpression pattern(QStringLiteral("\\G\\s*<([A-Za-z_][A-Za-z0-9_.-]*)>(.*?)</\\1>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

const QRegularExpression &TopPattern()
{
    static const QRegularExpression pattern(QStringLiteral("\\G\\s*<(Info|Moudle)>(.*?)</\\1>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

// Walks body as a sequence of leaf elements; false on anything else.
bool ForEachLeaf(const QString &strBody, QList<QPair<QString, QString>> &listLeaves)
{
    int nPos = 0;
    for (;;) {
        const QRegularExpressionMatch match = LeafPattern().match(strBody, nPos);
        if (!match.hasMatch())
            break;
        listLeaves.append(qMakePair(match.captured(1), match.captured(2)));
        nPos = match.capturedEnd(0);
    }
    return strBody.mid(nPos).trimmed().isEmpty();
}
} // namespace

bool InfoHander::Parse(const QByteArray &baContent)
{
    m_phoneInfo = PhoneInfo();
    m_listModules.clear();
    m_bHasInfo = false;
    m_bHasMoudle = false;
    m_strError.clear();

    // The writer stores Latin-1 bytes whatever the declaration says.
    const QString strText = QString::fromLatin1(baContent);
    int nPos = 0;
    static const QRegularExpression declaration(QStringLiteral("\\G\\s*<\\?xml[^>]*\\?>"));
    const QRegularExpressionMatch declared = declaration.match(strText);
    if (declared.hasMatch())
        nPos = declared.capturedEnd(0);

    for (;;) {
        const QRegularExpressionMatch match = TopPattern().match(strText, nPos);
        if (!match.hasMatch())
            break;
        const bool bOk = match.captured(1) == QLatin1String("Info") ? ReadInfoBody(match.captured(2))
                                                                    : ReadMoudleBody(match.captured(2));
        if (!bOk)
            return false;
        nPos = match.capturedEnd(0);
    }
    if (!strText.mid(nPos).trimmed().isEmpty()) {
        m_strError = QStringLiteral("unexpected content at character %1").arg(nPos);
        return false;
    }
    if (!m_bHasInfo && !m_bHasMoudle) {
        m_strError = QStringLiteral("neither an Info nor a Moudle element");
        return false;
    }
    return true;
}

bool InfoHander::ReadInfoBody(const QString &strBody)
{
    QList<QPair<QString, QString>> listLeaves;
    if (!ForEachLeaf(strBody, listLeaves)) {
        m_strError = QStringLiteral("the Info element is damaged");
        return false;
    }
    for (const auto &leaf : listLeaves) {
        if (leaf.first == QLatin1String("DashBoard"))
            m_phoneInfo.DashBoard = leaf.second;
        else if (leaf.first == QLatin1String("CVersion"))
            m_phoneInfo.CVersion = leaf.second;
        else if (leaf.first == QLatin1String("DeviceName"))
            m_phoneInfo.DeviceName = leaf.second;
        else if (leaf.first == QLatin1String("FirmWare"))
            m_phoneInfo.FirmWare = leaf.second;
    }
    m_bHasInfo = true;
    return true;
}

bool InfoHander::ReadMoudleBody(const QString &strBody)
{
    QList<QPair<QString, QString>> listLeaves;
    if (!ForEachLeaf(strBody, listLeaves)) {
        m_strError = QStringLiteral("the Moudle element is damaged");
        return false;
    }
    m_listModules += listLeaves;
    m_bHasMoudle = true;
    return true;
}
