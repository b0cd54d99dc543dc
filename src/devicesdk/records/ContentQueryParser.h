#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Reads the output of the phone's "content query" command, fed piece by piece
// as it arrives. Each row is printed as "Row: N col=value, col=value" with the
// values unescaped: a value may hold ", ", "=" and new lines. The parser knows
// the projection, so it splits a row only at ", <next column>=" and takes a new
// row only at "\nRow: <next number> <first column>=". Lines before the first
// row (a warning the phone's linker printed) are set aside. A value printed as
// NULL is handed on as a null QString. Only the row being read is kept.
//
// Values themselves can look like markers, so rows found here are only what
// the text most likely means: ProviderQuery checks them against the ids.
// The command must run without a terminal (exec or raw shell), so that new
// lines inside values arrive unchanged.
class ContentQueryParser
{
public:
    // Unreadable: neither rows, nor "No result found.", nor the tool's error.
    enum class Outcome { Rows, NoRows, Error, Unreadable };

    using RowHandler = std::function<void(const QStringList &listValues)>;

    ContentQueryParser(const QStringList &listColumns, RowHandler fnRow);

    void Feed(const QByteArray &baChunk);
    // What the phone printed on its error stream, where it is kept apart.
    void FeedError(const QByteArray &baChunk);
    // The output has ended: hands on the last row and tells what the output was.
    Outcome Finish();

    int RowCount() const { return m_nRows; }
    // Rows that lacked a column or their first column were left out: the
    // output was cut at a value that only looked like a row.
    int MalformedRows() const { return m_nMalformed; }
    // While a row is handed on: its text from the first column on, and its
    // values as printed.
    const QByteArray &RowText() const { return m_baRowText; }
    const QList<QByteArray> &RawValues() const { return m_listRaw; }
    // For Error and Unreadable: the phone's text (trimmed, at most a few lines).
    QString ErrorText() const { return m_strError; }
    // For Error: the provider refused the shell user (a SecurityException).
    bool IsPermissionDenied() const;
    // Lines printed before the first row, if any (for the log).
    QString Preamble() const;

private:
    QByteArray RowMarker(int nRow) const;
    bool FindFirstRow();
    void TakeRowsFromBuffer();
    void EmitRow(const QByteArray &baRow);
    void SetError(const QString &strError);
    Outcome FinishOther();

    const QStringList m_listColumns;
    const RowHandler m_fnRow;

    enum class Mode { Start, Rows, Other, Failed };
    Mode m_eMode = Mode::Start;
    QByteArray m_baBuffer;   // the current row's text (after "Row: N ") or the other text
    QByteArray m_baNextMarker;
    qsizetype m_nScanned = 0; // bytes of m_baBuffer already searched for the next marker
    QByteArray m_baPreamble;
    QByteArray m_baErrors;
    QByteArray m_baRowText;
    QList<QByteArray> m_listRaw;
    int m_nRows = 0;
    int m_nMalformed = 0;
    QString m_strError;
};
