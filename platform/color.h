#pragma once

#include <QColor>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include "kestrova_platform_export.h"

// A colour as the components store and stream it: 32 bits, red in the low byte, then green, then
// blue (0x00BBGGRR). A high byte of 0x80 marks a system colour (0x80000000 | index, e.g.
// clBtnFace); clNone and clDefault are markers, not colours. Converts implicitly to and from the
// 32-bit value so it can be recorded, compared and computed with like an integer.
class KESTROVA_PLATFORM_EXPORT TColor {
public:
    constexpr TColor() = default;
    constexpr TColor(quint32 value) : FValue(value) {}
    constexpr operator quint32() const { return FValue; }

    constexpr int Red() const { return int(FValue & 0xFF); }
    constexpr int Green() const { return int((FValue >> 8) & 0xFF); }
    constexpr int Blue() const { return int((FValue >> 16) & 0xFF); }
    constexpr bool IsSystem() const { return (FValue & 0xFF000000u) == 0x80000000u; }

    static constexpr TColor FromRgb(int r, int g, int b)
    {
        return TColor(quint32(r & 0xFF) | (quint32(g & 0xFF) << 8) | (quint32(b & 0xFF) << 16));
    }

    // The plain RGB value: system colours resolve to the fixed classic desktop palette (so drawing
    // is the same on every machine), other values keep their low 24 bits.
    TColor ToRgb() const;
    // The opaque QColor of ToRgb(). Markers draw with their low 24 bits as the classic GDI does
    // (clNone paints white, clDefault black).
    QColor ToQColor() const;
    static TColor FromQColor(const QColor &color);

    // Readable text: the constant's name where there is one ("clRed", "clBtnFace"), else
    // "$00BBGGRR" in hexadecimal.
    QString ToString() const;
    // Accepts what ToString writes, and also "0x..." hexadecimal, decimal and "#RRGGBB". Returns
    // false (and leaves *color alone) for anything else.
    static bool FromString(const QString &text, TColor *color);

private:
    quint32 FValue = 0;
};

Q_DECLARE_METATYPE(TColor)

inline constexpr TColor clBlack = 0x000000u;
inline constexpr TColor clMaroon = 0x000080u;
inline constexpr TColor clGreen = 0x008000u;
inline constexpr TColor clOlive = 0x008080u;
inline constexpr TColor clNavy = 0x800000u;
inline constexpr TColor clPurple = 0x800080u;
inline constexpr TColor clTeal = 0x808000u;
inline constexpr TColor clGray = 0x808080u;
inline constexpr TColor clSilver = 0xC0C0C0u;
inline constexpr TColor clRed = 0x0000FFu;
inline constexpr TColor clLime = 0x00FF00u;
inline constexpr TColor clYellow = 0x00FFFFu;
inline constexpr TColor clBlue = 0xFF0000u;
inline constexpr TColor clFuchsia = 0xFF00FFu;
inline constexpr TColor clAqua = 0xFFFF00u;
inline constexpr TColor clWhite = 0xFFFFFFu;

inline constexpr TColor clScrollBar = 0x80000000u;
inline constexpr TColor clBackground = 0x80000001u;
inline constexpr TColor clWindow = 0x80000005u;
inline constexpr TColor clWindowText = 0x80000008u;
inline constexpr TColor clBtnFace = 0x8000000Fu;
inline constexpr TColor clBtnShadow = 0x80000010u;
inline constexpr TColor clGrayText = 0x80000011u;
inline constexpr TColor clBtnText = 0x80000012u;
inline constexpr TColor clBtnHighlight = 0x80000014u;
inline constexpr TColor clInfoText = 0x80000017u;
inline constexpr TColor clInfoBk = 0x80000018u;

inline constexpr TColor clNone = 0x1FFFFFFFu;
inline constexpr TColor clDefault = 0x20000000u;
