#include "protocol/unidadevelocidade.h"

#include <QRegularExpression>

#include "protocol/faixaesteira.h"

TUnidadeVelocidade::TUnidadeVelocidade(TUnidade unidade) : FUnidade(unidade) {}

QString TUnidadeVelocidade::Simbolo() const
{
    return Mph() ? QStringLiteral("mph") : QStringLiteral("km/h");
}

int TUnidadeVelocidade::Casas() const
{
    return Mph() ? 2 : 1;
}

double TUnidadeVelocidade::ParaKmh(double valor) const
{
    return Mph() ? valor * kKmPorMilha : valor;
}

double TUnidadeVelocidade::DeKmh(double kmh) const
{
    return Mph() ? kmh / kKmPorMilha : kmh;
}

double TUnidadeVelocidade::Kmh(double valor) const
{
    return Mph() ? TFaixaEsteira::QuantizarVelocidade(ParaKmh(valor)) : valor;
}

QString TUnidadeVelocidade::Numero(double kmh) const
{
    return QString::number(DeKmh(kmh), 'f', Casas());
}

QString TUnidadeVelocidade::Texto(double kmh) const
{
    return Numero(kmh) + QLatin1Char(' ') + Simbolo();
}

QString TUnidadeVelocidade::TextoNaUnidade(const QString &textoKmh) const
{
    if (!Mph())
        return textoKmh;
    static const QRegularExpression figura(QStringLiteral("(\\d+(?:\\.\\d+)?) km/h"));
    QString texto;
    qsizetype desde = 0;
    for (auto it = figura.globalMatch(textoKmh); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        texto += textoKmh.mid(desde, m.capturedStart() - desde) + Texto(m.captured(1).toDouble());
        desde = m.capturedEnd();
    }
    return texto + textoKmh.mid(desde);
}

QString TUnidadeVelocidade::Codigo() const
{
    return Mph() ? QStringLiteral("mph") : QStringLiteral("kmh");
}

std::optional<TUnidadeVelocidade> TUnidadeVelocidade::DoCodigo(const QString &codigo)
{
    if (codigo == QLatin1String("kmh"))
        return TUnidadeVelocidade(TUnidade::Kmh);
    if (codigo == QLatin1String("mph"))
        return TUnidadeVelocidade(TUnidade::Mph);
    return std::nullopt;
}
