#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Reads the output of the phone's "content query" command, fed piece by piece
// as it arrives. Each row is printed as "Row: N col=value, col=value" with the
// values unescaped: a value may hold ", ", "=" and new lines. The parser knows
// the projection, so it splits a row only at ", <next column>=" and takes a new
// row only at "\nRow: <next number> <first column>=". A value printed as NULL
// is handed on as a null QString. Only the row being read is kept in memory.
//
// The command must run without a terminal (exec or raw shell), so that new
// lines inside values arrive unchanged.
class ContentQueryParser
{
public:
    enum class Outcome { Rows, NoRows, Error };

    using RowHandler = std::function<void(const QStringList &listValues)>;

    ContentQueryParser(const QStringList &listColumns, RowHandler fnRow);

    void Feed(const QByteArray &baChunk);
    // The output has ended: hands on the last row and tells what the output was.
    Outcome Finish();

    int RowCount() const { return m_nRows; }
    // For Error: the phone's text (trimmed, at most a few lines).
    QString ErrorText() const { return m_strError; }
    // For Error: the provider refused the shell user (a SecurityException).
    bool IsPermissionDenied() const;

private:
    QByteArray RowMarker(int nRow) const;
    void TakeRowsFromBuffer();
    void EmitRow(const QByteArray &baRow);
    void SetError(const QString &strError);

    const QStringList m_listColumns;
    QList<QByteArray> m_listSeparators; // ", colN=" for N >= 1
    const RowHandler m_fnRow;

    enum class Mode { Start, Rows, Other, Failed };
    Mode m_eMode = Mode::Start;
    QByteArray m_baBuffer;   // the current row's text (after "Row: N ") or the other text
    QByteArray m_baNextMarker;
    qsizetype m_nScanned = 0; // bytes of m_baBuffer already searched for the next marker
    int m_nRows = 0;
    QString m_strError;
};
