#include "chart/commandstore.h"

#include "platform/numbertext.h"

#include <QtEndian>
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

void TCommandStore::AppendPoint(TRecordType type, float x, float y)
{
    FBytes.append(char(type));
    AppendF32(x);
    AppendF32(y);
}

void TCommandStore::AppendAxis(bool second)
{
    FBytes.append(char(second ? rtSecondYAxis : rtFirstYAxis));
}

void TCommandStore::AppendInt(TRecordType type, qint32 value)
{
    FBytes.append(char(type));
    AppendI32(value);
}

void TCommandStore::AppendByte(TRecordType type, quint8 value)
{
    FBytes.append(char(type));
    FBytes.append(char(value));
}

void TCommandStore::AppendSymbolStyle(quint8 style, qint32 penWidth, qint32 borderColor,
                                      qint32 fillColor, quint8 fillStyle, qint32 halfHeight)
{
    FBytes.append(char(rtSymbolStyle));
    FBytes.append(char(style));
    AppendI32(penWidth);
    AppendI32(borderColor);
    AppendI32(fillColor);
    FBytes.append(char(fillStyle));
    AppendI32(halfHeight);
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
