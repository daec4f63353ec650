#include <QTest>
#include <functional>

#include "chart/commandstore.h"

namespace {

// One of every record type, in a fixed order.
TCommandStore EveryRecord()
{
    TCommandStore store;
    store.AppendPoint(TCommandStore::rtMove, 1.5f, -2.25f);
    store.AppendPoint(TCommandStore::rtLine, 1234.5f, 0.1f);
    store.AppendAxis(true);
    store.AppendAxis(false);
    store.AppendInt(TCommandStore::rtPenColor, 0x00FF8040);
    store.AppendByte(TCommandStore::rtPenStyle, 2);
    store.AppendInt(TCommandStore::rtPenWidth, -3);
    store.AppendPoint(TCommandStore::rtSymbol, 7.0f, 8.0f);
    store.AppendSymbolStyle(4, 2, 0x112233, 0xFFFFFF, 1, 6);
    return store;
}

QStringList Exported(const TCommandStore &store, const QLocale &locale)
{
    QStringList lines;
    store.Export(lines, locale);
    return lines;
}

// The store's records as Read walks them: for every record start, the end of its run of line
// records (the start itself for another record) and what the index holds: that end when the run
// is long enough to be indexed, else the start.
struct TRunEnd {
    qsizetype Pos, End, Indexed;
};

QList<TRunEnd> RunEnds(const TCommandStore &store)
{
    QList<TRunEnd> ends;
    QList<qsizetype> run;
    qsizetype pos = 0, start = 0;
    TCommandStore::TRecord r;
    const auto close = [&](qsizetype end) {
        for (const qsizetype p : run)
            ends << TRunEnd{p, end, run.size() >= TCommandStore::kIndexedRun ? end : p};
        run.clear();
    };
    while (store.Read(pos, r)) {
        if (r.Type == TCommandStore::rtLine) {
            run << start;
        } else {
            close(start);
            ends << TRunEnd{start, start, start};
        }
        start = pos;
    }
    close(start);
    return ends;
}

using TFill = std::function<void(TCommandStore &)>;

}  // namespace

Q_DECLARE_METATYPE(TFill)

class TstCommandStore : public QObject {
    Q_OBJECT

private slots:
    void recordBytes();
    void readsBackWhatWasWritten();
    void exportLines_data();
    void exportLines();
    void exportAppendsAndEmptyExportsNothing();
    void truncatedStoreStopsAtLastCompleteRecord();
    void unknownTypeSkippedAlone();
    void lineRunIndex_data();
    void lineRunIndex();
};

void TstCommandStore::recordBytes()
{
    TCommandStore store;
    store.AppendPoint(TCommandStore::rtLine, 1.0f, -2.0f);
    QCOMPARE(store.Bytes(), QByteArray::fromHex("02 0000803f 000000c0"));
    store.Clear();
    store.AppendSymbolStyle(7, 2, 0x0000FF, -1, 6, 5);
    QCOMPARE(store.Bytes(), QByteArray::fromHex("0b 07 02000000 ff000000 ffffffff 06 05000000"));
    store.Clear();
    store.AppendInt(TCommandStore::rtPenWidth, 0x01020304);
    store.AppendByte(TCommandStore::rtPenStyle, 4);
    store.AppendAxis(true);
    QCOMPARE(store.Bytes(), QByteArray::fromHex("09 04030201 08 04 06"));
}

void TstCommandStore::readsBackWhatWasWritten()
{
    const TCommandStore store = EveryRecord();
    qsizetype pos = 0;
    TCommandStore::TRecord r;
    QList<int> types;
    while (store.Read(pos, r)) {
        types << r.Type;
        if (r.Type == TCommandStore::rtLine) {
            QCOMPARE(r.X, 1234.5f);
            QCOMPARE(r.Y, 0.1f);
        }
        if (r.Type == TCommandStore::rtSymbolStyle) {
            QCOMPARE(int(r.Style), 4);
            QCOMPARE(r.SymbolPenWidth, 2);
            QCOMPARE(r.BorderColor, 0x112233);
            QCOMPARE(r.FillColor, 0xFFFFFF);
            QCOMPARE(int(r.FillStyle), 1);
            QCOMPARE(r.HalfHeight, 6);
        }
    }
    QCOMPARE(types, QList<int>({1, 2, 6, 5, 7, 8, 9, 10, 11}));
    QCOMPARE(pos, store.Size());
}

void TstCommandStore::exportLines_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("lines");
    const QStringList common = {
        "pCanvas->Pen->Color = 16744512;", "pCanvas->Pen->Style = 2;",
        "pCanvas->Pen->Width = -3;",       "DrawSymbolScaled(7, 8);",
        "SymbolStyle       = 4;",          "SymbolPenWidth    = 2;",
        "SymbolBorderColor = 1122867;",    "SymbolFillColor   = 16777215;",
        "SymbolFillStyle   = 1;",          "SymbolHalfHeight  = 6;",
    };
    QTest::newRow("point") << QLocale::c()
                           << QStringList({"pCanvas->MoveTo(1.5, -2.25);",
                                           "pCanvas->LineTo(1234.5, 0.100000001490116);"}) +
                                  common;
    QTest::newRow("comma, no grouping")
        << QLocale(QLocale::German, QLocale::Germany)
        << QStringList(
               {"pCanvas->MoveTo(1,5, -2,25);", "pCanvas->LineTo(1234,5, 0,100000001490116);"}) +
               common;
    // Only the separator comes from the locale: no Unicode minus, no native digits.
    QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden)
                             << QStringList({"pCanvas->MoveTo(1,5, -2,25);",
                                             "pCanvas->LineTo(1234,5, 0,100000001490116);"}) +
                                    common;
    QTest::newRow("Egyptian Arabic")
        << QLocale(QLocale::Arabic, QLocale::Egypt)
        << QStringList(
               {"pCanvas->MoveTo(1٫5, -2٫25);", "pCanvas->LineTo(1234٫5, 0٫100000001490116);"}) +
               common;
}

void TstCommandStore::exportLines()
{
    QFETCH(QLocale, locale);
    QFETCH(QStringList, lines);
    QCOMPARE(Exported(EveryRecord(), locale), lines);
}

void TstCommandStore::exportAppendsAndEmptyExportsNothing()
{
    QStringList lines{"kept"};
    TCommandStore().Export(lines, QLocale::c());
    QCOMPARE(lines, QStringList{"kept"});
    TCommandStore store;
    store.AppendAxis(false);
    store.AppendAxis(true);
    store.Export(lines, QLocale::c());
    QCOMPARE(lines, QStringList{"kept"});
    store.AppendPoint(TCommandStore::rtMove, 0, 0);
    store.Export(lines, QLocale::c());
    QCOMPARE(lines, QStringList({"kept", "pCanvas->MoveTo(0, 0);"}));
}

// A store cut anywhere inside its last record yields every record before it, and the walk
// stops where the cut record starts.
void TstCommandStore::truncatedStoreStopsAtLastCompleteRecord()
{
    const QByteArray whole = EveryRecord().Bytes();
    const qsizetype lastStart = whole.size() - 1 - TCommandStore::PayloadSize(11);
    for (qsizetype cut = lastStart + 1; cut < whole.size(); ++cut) {
        TCommandStore store;
        // A detached copy of exactly cut bytes, so reading past it is caught by ASan.
        store.SetBytes(QByteArray(whole.constData(), cut));
        qsizetype pos = 0;
        TCommandStore::TRecord r;
        int records = 0;
        while (store.Read(pos, r))
            ++records;
        QCOMPARE(records, 8);
        QCOMPARE(pos, lastStart);
        QStringList lines;
        store.Export(lines, QLocale::c());
        QCOMPARE(lines.size(), 6);
    }
}

void TstCommandStore::unknownTypeSkippedAlone()
{
    TCommandStore store;
    store.SetBytes(QByteArray::fromHex("00 03 ff 02 0000803f 0000803f"));
    qsizetype pos = 0;
    TCommandStore::TRecord r;
    QList<int> types;
    while (store.Read(pos, r))
        types << r.Type;
    QCOMPARE(types, QList<int>({0, 3, 255, 2}));
    QCOMPARE(pos, store.Size());
}

void TstCommandStore::lineRunIndex_data()
{
    QTest::addColumn<TFill>("fill");
    const auto lines = [](TCommandStore &s, int n) {
        for (int i = 0; i < n; ++i)
            s.AppendPoint(TCommandStore::rtLine, float(i), 1);
    };
    QTest::newRow("empty") << TFill([](TCommandStore &) {});
    QTest::newRow("one line") << TFill([lines](TCommandStore &s) { lines(s, 1); });
    QTest::newRow("runs of every length up to 40, cut by every record type")
        << TFill([lines](TCommandStore &s) {
               const TCommandStore every = EveryRecord();
               for (int n = 0; n <= 40; ++n) {
                   lines(s, n);
                   qsizetype pos = 0;
                   TCommandStore::TRecord r;
                   for (int k = 0; k <= n % 9 && every.Read(pos, r);)
                       k += r.Type != TCommandStore::rtLine;
                   s.SetBytes(s.Bytes() + every.Bytes().mid(0, pos));
               }
               lines(s, 20);
           });
    QTest::newRow("runs cut by unknown type bytes") << TFill([lines](TCommandStore &s) {
        for (int n = 14; n <= 18; ++n) {
            lines(s, n);
            s.SetBytes(s.Bytes() + char(0x33));
        }
    });
    QTest::newRow("appended after a record cut short") << TFill([lines](TCommandStore &s) {
        lines(s, 20);
        s.SetBytes(s.Bytes() + QByteArray("\x02\x01\x02", 3));
        lines(s, 40);
    });
}

// The index holds exactly the long runs Read finds, whether the records were appended or the
// bytes set. Records appended after one cut short are not where Read finds them: the index then
// holds no more than line records.
void TstCommandStore::lineRunIndex()
{
    QFETCH(TFill, fill);
    TCommandStore appended;
    fill(appended);
    TCommandStore set;
    set.SetBytes(appended.Bytes());
    const bool cutShort =
        QByteArray(QTest::currentDataTag()) == "appended after a record cut short";
    for (const TRunEnd &e : RunEnds(appended)) {
        QCOMPARE(set.LineRunEnd(e.Pos), e.Indexed);
        const qsizetype known = appended.LineRunEnd(e.Pos);
        if (cutShort)
            QVERIFY2(known >= e.Pos && known <= e.End, qPrintable(QString::number(e.Pos)));
        else
            QCOMPARE(known, e.Indexed);
    }
}

QTEST_GUILESS_MAIN(TstCommandStore)
#include "tst_commandstore.moc"
