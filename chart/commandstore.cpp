#include "chart/commandstore.h"

#include "platform/numbertext.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

qint32 ReadI32(const char *p)
{
    return qFromLittleEndian<qint32>(p);
}

}  // namespace

float TCommandStore::ReadFloat(const char *field)
{
    const quint32 bits = qFromLittleEndian<quint32>(field);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int TCommandStore::PayloadSize(quint8 type)
{
    switch (type) {
        case rtMove:
        case rtLine:
        case rtSymbol: return 8;
        case rtFirstYAxis:
        case rtSecondYAxis: return 0;
        case rtPenColor:
        case rtPenWidth: return 4;
        case rtPenStyle: return 1;
        case rtSymbolStyle: return 1 + 4 + 4 + 4 + 1 + 4;
        default: return -1;
    }
}

void TCommandStore::AppendRaw(const void *data, int size)
{
    FBytes.append(static_cast<const char *>(data), size);
}

void TCommandStore::AppendI32(qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    AppendRaw(&le, sizeof le);
}

void TCommandStore::AppendF32(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendI32(static_cast<qint32>(bits));
}

void TCommandStore::SetBytes(const QByteArray &bytes)
{
    Clear();
    FBytes = bytes;
    // The walk of Read: an unknown type byte alone, a record cut short ends it.
    const char *data = FBytes.constData();
    const qsizetype size = FBytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        const quint8 type = quint8(data[pos]);
        const int payload = PayloadSize(type);
        const qsizetype end = pos + 1 + std::max(payload, 0);
        if (end > size)
            break;
        FIndexed = end;
        Indexed(type, pos);
        pos = end;
    }
}

void TCommandStore::Clear()
{
    FBytes.clear();
    FLineRuns.clear();
    FLastRun = {0, 0};
    FIndexed = 0;
}

void TCommandStore::Indexed(quint8 type, qsizetype start)
{
    if (type != rtLine)
        return;
    const qsizetype end = start + 1 + PayloadSize(rtLine);
    if (FLastRun.End == start && FLastRun.End > FLastRun.Start)
        FLastRun.End = end;
    else
        FLastRun = {start, end};
    if (FLastRun.End - FLastRun.Start < kIndexedRun * (1 + PayloadSize(rtLine)))
        return;
    if (!FLineRuns.empty() && FLineRuns.back().Start == FLastRun.Start)
        FLineRuns.back().End = FLastRun.End;
    else
        FLineRuns.push_back(FLastRun);
}

qsizetype TCommandStore::LineRunEnd(qsizetype pos) const
{
    const auto after = std::upper_bound(FLineRuns.begin(), FLineRuns.end(), pos,
                                        [](qsizetype p, const TRun &r) { return p < r.Start; });
    if (after == FLineRuns.begin())
        return pos;
    const TRun &run = *(after - 1);
    return pos < run.End && (pos - run.Start) % (1 + PayloadSize(rtLine)) == 0 ? run.End : pos;
}

void TCommandStore::AppendPoint(TRecordType type, float x, float y)
{
    const qsizetype start = FBytes.size();
    FBytes.append(char(type));
    AppendF32(x);
    AppendF32(y);
    Appended(type, start);
}

void TCommandStore::AppendAxis(bool second)
{
    const qsizetype start = FBytes.size();
    FBytes.append(char(second ? rtSecondYAxis : rtFirstYAxis));
    Appended(rtFirstYAxis, start);
}

void TCommandStore::AppendInt(TRecordType type, qint32 value)
{
    const qsizetype start = FBytes.size();
    FBytes.append(char(type));
    AppendI32(value);
    Appended(type, start);
}

void TCommandStore::AppendByte(TRecordType type, quint8 value)
{
    const qsizetype start = FBytes.size();
    FBytes.append(char(type));
    FBytes.append(char(value));
    Appended(type, start);
}

void TCommandStore::AppendSymbolStyle(quint8 style, qint32 penWidth, qint32 borderColor,
                                      qint32 fillColor, quint8 fillStyle, qint32 halfHeight)
{
    const qsizetype start = FBytes.size();
    FBytes.append(char(rtSymbolStyle));
    FBytes.append(char(style));
    AppendI32(penWidth);
    AppendI32(borderColor);
    AppendI32(fillColor);
    FBytes.append(char(fillStyle));
    AppendI32(halfHeight);
    Appended(rtSymbolStyle, start);
}

// After bytes that Read walks whole the appended record is whole too; after a record cut short
// (or a record of another size than its type's) it is not where Read finds it, and the index
// stays where it was.
void TCommandStore::Appended(quint8 type, qsizetype start)
{
    if (FIndexed != start || FBytes.size() - start != 1 + PayloadSize(type))
        return;
    FIndexed = FBytes.size();
    Indexed(type, start);
}

bool TCommandStore::Read(qsizetype &pos, TRecord &record) const
{
    if (pos < 0 || pos >= FBytes.size())
        return false;
    const char *p = FBytes.constData() + pos;
    const quint8 type = quint8(p[0]);
    const int payload = PayloadSize(type);
    record = TRecord{};
    record.Type = type;
    if (payload < 0) {
        ++pos;
        return true;
    }
    if (FBytes.size() - pos - 1 < payload)
        return false;
    ++p;
    switch (type) {
        case rtMove:
        case rtLine:
        case rtSymbol:
            record.X = ReadFloat(p);
            record.Y = ReadFloat(p + 4);
            break;
        case rtPenColor:
        case rtPenWidth: record.Value = ReadI32(p); break;
        case rtPenStyle: record.Style = quint8(p[0]); break;
        case rtSymbolStyle:
            record.Style = quint8(p[0]);
            record.SymbolPenWidth = ReadI32(p + 1);
            record.BorderColor = ReadI32(p + 5);
            record.FillColor = ReadI32(p + 9);
            record.FillStyle = quint8(p[13]);
            record.HalfHeight = ReadI32(p + 14);
            break;
        default: break;
    }
    pos += 1 + payload;
    return true;
}

QString TCommandStore::FormatReal(float value, const QLocale &locale)
{
    return TNumberText::General(double(value), locale);
}

void TCommandStore::Export(QStringList &lines, const QLocale &locale) const
{
    auto real = [&](float v) { return FormatReal(v, locale); };
    auto point = [&](const char *head, const TRecord &r) {
        return QLatin1String(head) + real(r.X) + QLatin1String(", ") + real(r.Y) +
               QLatin1String(");");
    };
    qsizetype pos = 0;
    TRecord r;
    while (Read(pos, r)) {
        switch (r.Type) {
            case rtMove: lines << point("pCanvas->MoveTo(", r); break;
            case rtLine: lines << point("pCanvas->LineTo(", r); break;
            case rtSymbol: lines << point("DrawSymbolScaled(", r); break;
            case rtPenColor:
                lines << QStringLiteral("pCanvas->Pen->Color = %1;").arg(r.Value);
                break;
            case rtPenStyle:
                lines << QStringLiteral("pCanvas->Pen->Style = %1;").arg(r.Style);
                break;
            case rtPenWidth:
                lines << QStringLiteral("pCanvas->Pen->Width = %1;").arg(r.Value);
                break;
            case rtSymbolStyle:
                lines << QStringLiteral("SymbolStyle       = %1;").arg(r.Style)
                      << QStringLiteral("SymbolPenWidth    = %1;").arg(r.SymbolPenWidth)
                      << QStringLiteral("SymbolBorderColor = %1;").arg(r.BorderColor)
                      << QStringLiteral("SymbolFillColor   = %1;").arg(r.FillColor)
                      << QStringLiteral("SymbolFillStyle   = %1;").arg(r.FillStyle)
                      << QStringLiteral("SymbolHalfHeight  = %1;").arg(r.HalfHeight);
                break;
            default: break;
        }
    }
}
