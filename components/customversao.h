#pragma once

#include <QFont>
#include <QLabel>

#include "kestrova_components_export.h"
#include "platform/color.h"

// A label whose caption is the product version of the running executable, "a.b.c.d", read once
// at construction: from the ELF version note on Linux (cmake/ProductVersion.cmake embeds it),
// from the VERSIONINFO resource on Windows. Any failure gives "?.?.?.?". The caption cannot be
// set from outside. Main (GUI) thread only.
class KESTROVA_COMPONENTS_EXPORT TCustomVersao : public QLabel {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QFont Font READ font WRITE SetFont)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString Caption READ text STORED false)
    // Hides QLabel's writable "text" property, so setProperty cannot replace the version either.
    Q_PROPERTY(QString text READ text STORED false)
    Q_CLASSINFO("palette", "Kestrova")
    Q_CLASSINFO("default:Alignment", "taLeftJustify")
    Q_CLASSINFO("default:Enabled", "true")
    Q_CLASSINFO("default:Layout", "tlTop")
    Q_CLASSINFO("default:ParentColor", "true")
    Q_CLASSINFO("default:ParentFont", "true")
    Q_CLASSINFO("default:WordWrap", "false")
    Q_CLASSINFO("default:Transparent", "false")
    Q_CLASSINFO("default:Visible", "true")

public:
    // int-based, so a streamed or cast value out of range is defined and can be refused.
    enum TAlignment : int { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TTextLayout : int { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)

    // The caption shown when the version cannot be read.
    static constexpr const char *kUnknownVersion = "?.?.?.?";

    explicit TCustomVersao(QWidget *Owner = nullptr);

    TAlignment Alignment() const;
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const;
    void SetLayout(TTextLayout value);
    // The background colour; setting it clears ParentColor.
    TColor Color() const;
    void SetColor(TColor value);
    // True while the colour (font) follows the parent widget's.
    bool ParentColor() const;
    void SetParentColor(bool value);
    bool ParentFont() const;
    void SetParentFont(bool value);
    // Setting the font clears ParentFont.
    void SetFont(const QFont &value);
    // False paints the background with Color; true lets the parent show through.
    bool Transparent() const;
    void SetTransparent(bool value);
    // False only when hidden explicitly (a label on a form not yet shown is still Visible).
    bool Visible() const { return !isHidden(); }

    // The version caption the constructor computes, for the executable at path.
    static QString VersionText(const QString &path);

private:
    // The caption is the version; callers cannot replace it.
    using QLabel::clear;
    using QLabel::setNum;
    using QLabel::setText;

    void SetAlignmentBits(Qt::Alignment horizontal, Qt::Alignment vertical);
};
