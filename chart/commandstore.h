#pragma once

#include <QByteArray>
#include <QLocale>
#include <QStringList>
#include <QtGlobal>
#include <vector>

#include "kestrova_chart_export.h"

// The chart's recorded drawing: a byte string of records, each a type byte followed by its
// payload, little-endian, nothing between fields. Points are real (axis) values in float32, so a
// replay maps them against whatever layout is current.
//
//   1  move            x f32, y f32
//   2  line            x f32, y f32
//   5  first Y axis    -
//   6  second Y axis   -
//   7  pen colour      i32
//   8  pen style       u8
//   9  pen width       i32
//  10  symbol          x f32, y f32
//  11  symbol style    style u8, pen width i32, border i32, fill i32, fill style u8, half h. i32
//
// Reading is bounds-checked: the bytes may come from anywhere (a file, a fuzzer) and a record
// cut short ends the walk; an unknown type byte is stepped over alone.
//
// The store keeps an index of its long runs of line records (kIndexedRun or more in a row, as
// Read walks them from the start), built when the bytes are set and kept as records are
// appended, so that a replay can take such a run without testing each record's type.
class KESTROVA_CHART_EXPORT TCommandStore {
public:
    enum TRecordType : quint8 {
        rtMove = 1,
        rtLine = 2,
        rtFirstYAxis = 5,
        rtSecondYAxis = 6,
        rtPenColor = 7,
        rtPenStyle = 8,
        rtPenWidth = 9,
        rtSymbol = 10,
        rtSymbolStyle = 11,
    };

    // One decoded record; only the fields of its type are meaningful.
    struct TRecord {
        quint8 Type = 0;
        float X = 0, Y = 0;  // rtMove, rtLine, rtSymbol
        qint32 Value = 0;    // rtPenColor, rtPenWidth
        quint8 Style = 0;    // rtPenStyle; symbol style for rtSymbolStyle
        qint32 SymbolPenWidth = 0;
        qint32 BorderColor = 0;
        qint32 FillColor = 0;
        quint8 FillStyle = 0;
        qint32 HalfHeight = 0;
    };

    // Payload bytes of a record type; -1 for a type this store does not know.
    static int PayloadSize(quint8 type);
    // A little-endian float32 field of a record.
    static float ReadFloat(const char *field);

    const QByteArray &Bytes() const { return FBytes; }
    // Takes any bytes as the store (they are checked as they are read).
    void SetBytes(const QByteArray &bytes);
    void Clear();
    bool IsEmpty() const { return FBytes.isEmpty(); }
    qsizetype Size() const { return FBytes.size(); }

    void AppendPoint(TRecordType type, float x, float y);
    void AppendAxis(bool second);
    void AppendInt(TRecordType type, qint32 value);
    void AppendByte(TRecordType type, quint8 value);
    void AppendSymbolStyle(quint8 style, qint32 penWidth, qint32 borderColor, qint32 fillColor,
                           quint8 fillStyle, qint32 halfHeight);

    // Decodes the record at pos and advances pos past it. False at the end of the bytes or when
    // the record there is incomplete (pos is then left unchanged). An unknown type byte yields a
    // record of that type and advances by one.
    bool Read(qsizetype &pos, TRecord &record) const;

    // Line records indexed as a run when at least this many follow one another.
    static constexpr int kIndexedRun = 16;
    // The end of the indexed run of line records that holds the record starting at pos; pos
    // when no indexed run holds one starting there.
    qsizetype LineRunEnd(qsizetype pos) const;

    // Appends the source-like text lines of every record to lines (which is not cleared), with
    // the decimal separator of locale.
    void Export(QStringList &lines, const QLocale &locale) const;

    // The text of a stored real: shortest general form, up to 15 significant digits.
    static QString FormatReal(float value, const QLocale &locale);

private:
    void AppendRaw(const void *data, int size);
    void AppendI32(qint32 value);
    void AppendF32(float value);
    // The record of type at start, whole, was added to the indexed bytes.
    void Indexed(quint8 type, qsizetype start);
    // The record of type appended at start.
    void Appended(quint8 type, qsizetype start);

    struct TRun {
        qsizetype Start, End;
    };

    QByteArray FBytes;
    std::vector<TRun> FLineRuns;  // indexed runs, in order
    TRun FLastRun{0, 0};          // the latest run of line records, of any length
    qsizetype FIndexed = 0;       // the bytes walked into the index: whole records from 0
};
