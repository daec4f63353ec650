#include "figurassomatocarta.h"

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QJsonValue>
#include <QMutex>

namespace {

const QLatin1String kChaveEndo("FiguraEndo");
const QLatin1String kChaveMeso("FiguraMeso");
const QLatin1String kChaveEcto("FiguraEcto");

}  // namespace

TFigurasSomatocarta::TFigurasSomatocarta(QObject *parent)
    : QObject(parent),
      FFiguraEndo(FiguraPadrao(QStringLiteral("ENDO"))),
      FFiguraMeso(FiguraPadrao(QStringLiteral("MESO"))),
      FFiguraEcto(FiguraPadrao(QStringLiteral("ECTO")))
{
}

TFigurasSomatocarta::~TFigurasSomatocarta() = default;

QImage TFigurasSomatocarta::FiguraPadrao(const QString &nome)
{
    // Decoded once: every chart built and every form read or written compares with them.
    static QMutex guarda;
    static QHash<QString, QImage> lidas;
    const QMutexLocker trava(&guarda);
    const auto it = lidas.constFind(nome);
    if (it != lidas.constEnd())
        return *it;
    QImage image(QStringLiteral(":/somatochart/") + nome);
    // The figures are stored as 8-bit palette images; keep that format whatever the reader gives.
    if (!image.isNull() && image.format() != QImage::Format_Indexed8)
        image = image.convertToFormat(QImage::Format_Indexed8);
    lidas.insert(nome, image);
    return image;
}

void TFigurasSomatocarta::Ajustar(QImage &campo, const QImage &image, const TNotifyEvent &evento)
{
    campo = image.copy();
    if (evento)
        evento(this);
}

void TFigurasSomatocarta::AjustarFiguraEndo(const QImage &image)
{
    Ajustar(FFiguraEndo, image, OnFiguraEndoAlterada);
}

void TFigurasSomatocarta::AjustarFiguraMeso(const QImage &image)
{
    Ajustar(FFiguraMeso, image, OnFiguraMesoAlterada);
}

void TFigurasSomatocarta::AjustarFiguraEcto(const QImage &image)
{
    Ajustar(FFiguraEcto, image, OnFiguraEctoAlterada);
}

QString TFigurasSomatocarta::CodificarPng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toBase64());
}

bool TFigurasSomatocarta::DecodificarPng(const QJsonValue &value, QImage *image)
{
    if (!value.isString())
        return false;
    const auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    QImage lida;
    if (!lida.loadFromData(*decoded, "PNG"))
        return false;
    *image = lida;
    return true;
}

void TFigurasSomatocarta::WriteCustom(QJsonObject &json) const
{
    const struct {
        QLatin1String chave;
        const QImage &image;
        const char *nome;
    } figuras[] = {{kChaveEndo, FFiguraEndo, "ENDO"},
                   {kChaveMeso, FFiguraMeso, "MESO"},
                   {kChaveEcto, FFiguraEcto, "ECTO"}};
    for (const auto &f : figuras) {
        if (f.image != FiguraPadrao(QLatin1String(f.nome)))
            json.insert(f.chave, CodificarPng(f.image));
    }
}

void TFigurasSomatocarta::ReadCustom(const QJsonObject &json)
{
    using TAjuste = void (TFigurasSomatocarta::*)(const QImage &);
    const struct {
        QLatin1String chave;
        TAjuste ajustar;
        const QImage &atual;
        const char *nome;
    } figuras[] = {{kChaveEndo, &TFigurasSomatocarta::AjustarFiguraEndo, FFiguraEndo, "ENDO"},
                   {kChaveMeso, &TFigurasSomatocarta::AjustarFiguraMeso, FFiguraMeso, "MESO"},
                   {kChaveEcto, &TFigurasSomatocarta::AjustarFiguraEcto, FFiguraEcto, "ECTO"}};
    for (const auto &f : figuras) {
        QImage image;
        if (!json.contains(f.chave))
            image = FiguraPadrao(QLatin1String(f.nome));  // omitted: it was the built-in one
        else if (!DecodificarPng(json.value(f.chave), &image))
            continue;
        if (image != f.atual)
            (this->*f.ajustar)(image);
    }
}
