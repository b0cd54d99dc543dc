#include "ContentProviders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace
{
QString Authority(const QString &strUri)
{
    QString str = strUri;
    str.remove(QRegularExpression(QStringLiteral("^content://")));
    return str.section(QLatin1Char('/'), 0, 0);
}

QByteArray ProviderError(const QString &strUri, const QString &strException)
{
    return "Error while accessing provider:" + Authority(strUri).toUtf8() + '\n' + strException.toUtf8() + '\n';
}

QByteArray ValueText(const QVariant &value)
{
    if (value.isNull())
        return "NULL";
    if (value.typeId() == QMetaType::LongLong)
        return QByteArray::number(value.toLongLong());
    if (value.typeId() == QMetaType::Double)
        return QByteArray::number(value.toDouble());
    return value.toString().toUtf8();
}

bool Compare(const QVariant &value, const QString &strOp, qint64 nRight)
{
    if (value.isNull())
        return false; // as in SQL
    bool bOk = value.typeId() == QMetaType::LongLong;
    const qint64 nLeft = bOk ? value.toLongLong() : value.toString().toLongLong(&bOk);
    if (!bOk)
        return false;
    if (strOp == QLatin1String(">")) return nLeft > nRight;
    if (strOp == QLatin1String(">=")) return nLeft >= nRight;
    if (strOp == QLatin1String("<")) return nLeft < nRight;
    if (strOp == QLatin1String("<=")) return nLeft <= nRight;
    if (strOp == QLatin1String("!=") || strOp == QLatin1String("<>")) return nLeft != nRight;
    return nLeft == nRight;
}

// JSON numbers arrive as doubles; whole ones are kept as integers, so they
// print and compare as the phone's integer columns do.
QVariantList RowValues(const QJsonArray &array)
{
    QVariantList listValues;
    listValues.reserve(array.size());
    for (const QJsonValue &value : array) {
        if (value.isDouble() && value.toDouble() == double(qint64(value.toDouble())))
            listValues.append(QVariant(qint64(value.toDouble())));
        else
            listValues.append(value.toVariant());
    }
    return listValues;
}
// The arguments of "content query".
struct QueryArgs
{
    QString strUri;
    QString strWhere;
    QString strSort;
    QStringList listProjection;
};

// False with the tool's error when an argument is unknown or no URI is given.
bool ParseQueryArgs(const QStringList &listArgs, QueryArgs &args, QByteArray *pErr)
{
    for (int i = 0; i + 1 < listArgs.size(); i += 2) {
        const QString &strKey = listArgs.at(i);
        const QString &strValue = listArgs.at(i + 1);
        if (strKey == QLatin1String("--uri"))
            args.strUri = strValue;
        else if (strKey == QLatin1String("--projection"))
            args.listProjection = strValue.split(QLatin1Char(':'));
        else if (strKey == QLatin1String("--where"))
            args.strWhere = strValue;
        else if (strKey == QLatin1String("--sort"))
            args.strSort = strValue;
        else if (strKey != QLatin1String("--user")) {
            *pErr = "[ERROR] Unsupported argument: " + strKey.toUtf8() + '\n';
            return false;
        }
    }
    if (args.strUri.isEmpty()) {
        *pErr = "[ERROR] Content provider URI not specified\n";
        return false;
    }
    return true;
}

QByteArray SyntaxError(const QString &strUri, const QString &strNear)
{
    return ProviderError(strUri, QStringLiteral("android.database.sqlite.SQLiteException: near \"%1\": syntax error (code 1 SQLITE_ERROR)").arg(strNear));
}

// One comparison of a column with an integer.
struct Term
{
    int nColumn;
    QString strOp;
    qint64 nValue;
};

// The where clause: comparisons of columns with integers joined by AND,
// appended to listTerms; false with the provider's error otherwise.
bool ParseWhere(const QStringList &listColumns, const QueryArgs &args, QList<Term> &listTerms, QByteArray *pErr)
{
    static const QRegularExpression reTerm(QStringLiteral("^\\s*(\\w+)\\s*(>=|<=|!=|<>|=|>|<)\\s*(-?\\d+)\\s*$"));
    static const QRegularExpression reAnd(QStringLiteral("\\s+AND\\s+"), QRegularExpression::CaseInsensitiveOption);
    if (args.strWhere.trimmed().isEmpty())
        return true;
    for (const QString &strTerm : args.strWhere.split(reAnd)) {
        const QRegularExpressionMatch t = reTerm.match(strTerm);
        const qsizetype nColumn = t.hasMatch() ? listColumns.indexOf(t.captured(1)) : -1;
        if (nColumn < 0) {
            *pErr = SyntaxError(args.strUri, strTerm);
            return false;
        }
        listTerms.append({int(nColumn), t.captured(2), t.captured(3).toLongLong()});
    }
    return true;
}

struct SortOrder
{
    int nColumn = -1;
    bool bDescending = false;
    qint64 nLimit = -1;
    qint64 nOffset = 0;
};

// The sort order: "column [ASC|DESC] [LIMIT n [OFFSET m]]"; false with the
// provider's error when it is not of that form.
bool ParseSort(const QStringList &listColumns, const QueryArgs &args, SortOrder &sort, QByteArray *pErr)
{
    if (args.strSort.trimmed().isEmpty())
        return true;
    static const QRegularExpression reSort(QStringLiteral(
        "^\\s*(\\w+)(?:\\s+(ASC|DESC))?(?:\\s+LIMIT\\s+(\\d+)(?:\\s+OFFSET\\s+(\\d+))?)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch s = reSort.match(args.strSort);
    sort.nColumn = s.hasMatch() ? int(listColumns.indexOf(s.captured(1))) : -1;
    if (sort.nColumn < 0) {
        *pErr = SyntaxError(args.strUri, args.strSort);
        return false;
    }
    sort.bDescending = s.captured(2).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
    if (!s.captured(3).isEmpty())
        sort.nLimit = s.captured(3).toLongLong();
    if (!s.captured(4).isEmpty())
        sort.nOffset = s.captured(4).toLongLong();
    return true;
}

// The rows that meet every term, in the sort order, within limit and offset.
QList<const QVariantList *> SelectRows(const QList<QVariantList> &listRows, const QList<Term> &listTerms,
                                       const SortOrder &sort)
{
    QList<const QVariantList *> listMatches;
    for (const QVariantList &row : listRows) {
        const bool bMatch = std::all_of(listTerms.cbegin(), listTerms.cend(), [&row](const Term &term) {
            return Compare(row.value(term.nColumn), term.strOp, term.nValue);
        });
        if (bMatch)
            listMatches.append(&row);
    }
    if (sort.nColumn >= 0) {
        QList<QPair<qint64, const QVariantList *>> listKeyed;
        listKeyed.reserve(listMatches.size());
        for (const QVariantList *pRow : qAsConst(listMatches))
            listKeyed.append({pRow->value(sort.nColumn).toLongLong(), pRow});
        const bool bDescending = sort.bDescending;
        std::stable_sort(listKeyed.begin(), listKeyed.end(), [bDescending](const auto &a, const auto &b) {
            return bDescending ? a.first > b.first : a.first < b.first;
        });
        for (qsizetype i = 0; i < listKeyed.size(); ++i)
            listMatches[i] = listKeyed.at(i).second;
    }
    return listMatches.mid(qMin<qsizetype>(sort.nOffset, listMatches.size()),
                           sort.nLimit < 0 ? -1 : qsizetype(sort.nLimit));
}
// content://mms/<id>/part and content://mms/<id>/addr are the rows of that
// message in the table content://mms/part or content://mms/addr.
void MmsChildTable(const QString &strUri, QString *pTable, QString *pOwnerColumn, QString *pOwner)
{
    static const QRegularExpression reMmsChild(QStringLiteral("^content://mms/(\\d+)/(part|addr)$"));
    const QRegularExpressionMatch m = reMmsChild.match(strUri);
    if (!m.hasMatch())
        return;
    *pTable = QStringLiteral("content://mms/") + m.captured(2);
    *pOwnerColumn = m.captured(2) == QLatin1String("part") ? QStringLiteral("mid") : QStringLiteral("msg_id");
    *pOwner = m.captured(1);
}

bool ColumnIndexes(const QStringList &listColumns, const QStringList &listProjection, const QString &strUri,
                   QList<int> *pIndexes, QByteArray *pErr)
{
    for (const QString &strColumn : listProjection) {
        const qsizetype n = listColumns.indexOf(strColumn);
        if (n < 0) {
            *pErr = ProviderError(strUri, QStringLiteral("android.database.sqlite.SQLiteException: no such column: %1 (code 1 SQLITE_ERROR)").arg(strColumn));
            return false;
        }
        pIndexes->append(int(n));
    }
    return true;
}

// The rows as content query prints them: "Row: N col=value, col=value".
void PrintRows(const QList<const QVariantList *> &listMatches, const QStringList &listProjection,
               const QList<int> &listIndexes, QByteArray *pOut)
{
    for (int i = 0; i < listMatches.size(); ++i) {
        pOut->append("Row: " + QByteArray::number(i) + ' ');
        for (int c = 0; c < listIndexes.size(); ++c) {
            if (c)
                pOut->append(", ");
            pOut->append(listProjection.at(c).toUtf8() + '=' + ValueText(listMatches.at(i)->value(listIndexes.at(c))));
        }
        pOut->append('\n');
    }
}
} // namespace

ContentProviders::ContentProviders(const QString &strPhoneDir)
    : m_strPhoneDir(strPhoneDir)
{
}

QString ContentProviders::Signature(const QString &strPhoneDir)
{
    QString str;
    const QFileInfoList listFiles = QDir(strPhoneDir + QLatin1String("/providers"))
                                        .entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QFileInfo &info : listFiles)
        str += QStringLiteral("%1 %2 %3\n").arg(info.fileName()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
    return str;
}

std::shared_ptr<ContentProviders> ContentProviders::ForPhone(const QString &strPhoneDir)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<ContentProviders>> hashPhones;
    const QString strSignature = Signature(strPhoneDir);
    QMutexLocker lock(&mutex);
    std::shared_ptr<ContentProviders> &pProviders = hashPhones[strPhoneDir];
    if (!pProviders || pProviders->m_strSignature != strSignature) {
        pProviders = std::make_shared<ContentProviders>(strPhoneDir);
        pProviders->m_strSignature = strSignature;
    }
    return pProviders;
}

void ContentProviders::LoadLocked()
{
    if (m_bLoaded)
        return;
    m_bLoaded = true;
    const QDir dir(m_strPhoneDir + QLatin1String("/providers"));
    for (const QString &strName : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(strName));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject obj = QJsonDocument::fromJson(file.readAll()).object();
        const QString strUri = obj.value(QLatin1String("uri")).toString();
        if (!strUri.isEmpty()) {
            Table &table = m_hashTables[strUri];
            for (const QJsonValue &column : obj.value(QLatin1String("columns")).toArray())
                table.listColumns.append(column.toString());
            for (const QJsonValue &row : obj.value(QLatin1String("rows")).toArray())
                table.listRows.append(RowValues(row.toArray()));
        }
        const QJsonObject streams = obj.value(QLatin1String("streams")).toObject();
        for (auto it = streams.begin(); it != streams.end(); ++it)
            m_hashStreams.insert(it.key(), QByteArray::fromBase64(it.value().toString().toLatin1()));
    }
}

bool ContentProviders::IsDenied(const QString &strUri) const
{
    QSettings ini(m_strPhoneDir + QLatin1String("/phone.ini"), QSettings::IniFormat);
    const QStringList listDenied = ini.value(QStringLiteral("faults/contentDenied")).toStringList();
    for (const QString &strDenied : listDenied) {
        const QString str = strDenied.trimmed();
        if (!str.isEmpty() && (strUri == str || strUri.startsWith(str + QLatin1Char('/'))))
            return true;
    }
    return false;
}

QByteArray ContentProviders::LinkerWarning() const
{
    QSettings ini(m_strPhoneDir + QLatin1String("/phone.ini"), QSettings::IniFormat);
    const QString strWarning = ini.value(QStringLiteral("faults/linkerWarning")).toStringList().join(QStringLiteral(", "));
    return strWarning.isEmpty() ? QByteArray() : strWarning.toUtf8() + '\n';
}

int ContentProviders::Run(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr)
{
    QMutexLocker lock(&m_mutex);
    LoadLocked();
    pOut->clear();
    pErr->clear();
    const QString strCommand = listArgs.value(0);
    if (strCommand == QLatin1String("query"))
        return Query(listArgs.mid(1), pOut, pErr);
    if (strCommand == QLatin1String("read"))
        return Read(listArgs.mid(1), pOut, pErr);
    *pErr = "[ERROR] Unsupported operation: " + strCommand.toUtf8() + '\n';
    return 1;
}

int ContentProviders::Query(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr)
{
    QueryArgs args;
    if (!ParseQueryArgs(listArgs, args, pErr))
        return 1;
    const QString &strUri = args.strUri;
    if (IsDenied(strUri)) {
        *pErr = ProviderError(strUri, QStringLiteral(
            "java.lang.SecurityException: Permission Denial: opening provider %1 from ProcessRecord{0 0:com.android.shell/2000} "
            "(pid=0, uid=2000) that is not exported from UID 1001").arg(Authority(strUri)));
        return 0;
    }

    QString strTable = strUri;
    QString strOwnerColumn;
    QString strOwner;
    MmsChildTable(strUri, &strTable, &strOwnerColumn, &strOwner);
    if (!m_hashTables.contains(strTable)) {
        *pErr = ProviderError(strUri, QStringLiteral("java.lang.IllegalArgumentException: Unknown URI ") + strUri);
        return 0;
    }
    const Table &table = m_hashTables[strTable];
    if (args.listProjection.isEmpty())
        args.listProjection = table.listColumns;
    QList<int> listIndexes;
    if (!ColumnIndexes(table.listColumns, args.listProjection, strUri, &listIndexes, pErr))
        return 0;

    QList<Term> listTerms;
    if (!strOwnerColumn.isEmpty())
        listTerms.append({int(table.listColumns.indexOf(strOwnerColumn)), QStringLiteral("="), strOwner.toLongLong()});
    SortOrder sort;
    if (!ParseWhere(table.listColumns, args, listTerms, pErr) || !ParseSort(table.listColumns, args, sort, pErr))
        return 0;

    const QList<const QVariantList *> listMatches = SelectRows(table.listRows, listTerms, sort);
    if (listMatches.isEmpty()) {
        *pOut = "No result found.\n";
        return 0;
    }
    PrintRows(listMatches, args.listProjection, listIndexes, pOut);
    return 0;
}

int ContentProviders::Read(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr)
{
    if (listArgs.size() < 2 || listArgs.at(0) != QLatin1String("--uri")) {
        *pErr = "[ERROR] Content provider URI not specified\n";
        return 1;
    }
    const QString strUri = listArgs.at(1);
    if (IsDenied(strUri)) {
        *pErr = ProviderError(strUri, QStringLiteral("java.lang.SecurityException: Permission Denial: reading %1 requires a permission").arg(strUri));
        return 0;
    }
    const auto it = m_hashStreams.constFind(strUri);
    if (it == m_hashStreams.constEnd()) {
        *pErr = ProviderError(strUri, QStringLiteral("java.io.FileNotFoundException: No entry for ") + strUri);
        return 0;
    }
    *pOut = it.value();
    return 0;
}
