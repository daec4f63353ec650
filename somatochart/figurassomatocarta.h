#pragma once

#include <QImage>
#include <QJsonObject>
#include <QObject>

#include "kestrova_somatochart_export.h"
#include "platform/customproperties.h"
#include "platform/event.h"

// The three figures drawn at the somatochart's corners (endomorph, mesomorph, ectomorph), 45 x 45
// pixels with 8 bits per pixel, loaded from the resources ":/somatochart/ENDO", "MESO" and "ECTO".
// Ajustar* copies an image in and fires the matching event, which the chart hooks to redraw that
// figure.
//
// Streaming: the images are not Q_PROPERTYs of the stream; WriteCustom writes an image only when
// it differs from the built-in one, as base64 PNG under "FiguraEndo", "FiguraMeso", "FiguraEcto".
// ReadCustom applies the entries present and restores the built-in image for those absent;
// entries that do not decode leave their image as it is.
class KESTROVA_SOMATOCHART_EXPORT TFigurasSomatocarta : public QObject, public TCustomProperties {
    Q_OBJECT
    Q_PROPERTY(QImage FiguraEndo READ FiguraEndo WRITE AjustarFiguraEndo STORED false)
    Q_PROPERTY(QImage FiguraMeso READ FiguraMeso WRITE AjustarFiguraMeso STORED false)
    Q_PROPERTY(QImage FiguraEcto READ FiguraEcto WRITE AjustarFiguraEcto STORED false)

public:
    explicit TFigurasSomatocarta(QObject *parent = nullptr);
    ~TFigurasSomatocarta() override;

    QImage FiguraEndo() const { return FFiguraEndo; }
    QImage FiguraMeso() const { return FFiguraMeso; }
    QImage FiguraEcto() const { return FFiguraEcto; }

    void AjustarFiguraEndo(const QImage &image);
    void AjustarFiguraMeso(const QImage &image);
    void AjustarFiguraEcto(const QImage &image);

    // The built-in image of a resource name ("ENDO", "MESO", "ECTO"); null if it is missing.
    static QImage FiguraPadrao(const QString &nome);

    void WriteCustom(QJsonObject &json) const override;
    void ReadCustom(const QJsonObject &json) override;

    TNotifyEvent OnFiguraEndoAlterada;
    TNotifyEvent OnFiguraMesoAlterada;
    TNotifyEvent OnFiguraEctoAlterada;

private:
    void Ajustar(QImage &campo, const QImage &image, const TNotifyEvent &evento);
    static QString CodificarPng(const QImage &image);
    static bool DecodificarPng(const QJsonValue &value, QImage *image);

    QImage FFiguraEndo;
    QImage FFiguraMeso;
    QImage FFiguraEcto;
};
