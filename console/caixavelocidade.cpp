#include "console/caixavelocidade.h"

#include <QRegularExpression>

#include "protocol/faixaesteira.h"

TCaixaVelocidade::TCaixaVelocidade(double minimoKmh, double maximoKmh, double valorKmh,
                                   QWidget *parent)
    : QDoubleSpinBox(parent)
{
    setRange(minimoKmh, maximoKmh);
    setDecimals(1);  // the value is km/h at the board's step
    setSingleStep(TFaixaEsteira::kPassoVelocidade);
    setValue(valorKmh);
    AjustarUnidade(FUnidade);
}

void TCaixaVelocidade::AjustarUnidade(const TUnidadeVelocidade &unidade)
{
    FUnidade = unidade;
    setSuffix(QLatin1Char(' ') + unidade.Simbolo());  // also rewrites the text in the new unit
}

QString TCaixaVelocidade::textFromValue(double value) const
{
    if (!FUnidade.Mph())
        return QDoubleSpinBox::textFromValue(value);
    return locale().toString(FUnidade.DeKmh(value), 'f', FUnidade.Casas());
}

std::optional<double> TCaixaVelocidade::Lido(const QString &text) const
{
    QString numero = text;
    if (numero.endsWith(suffix()))
        numero.chop(suffix().size());
    numero = numero.trimmed();
    // Either decimal separator, at most the unit's decimals.
    static const QRegularExpression forma(QStringLiteral("^[0-9]*([.,][0-9]*)?$"));
    const QRegularExpressionMatch m = forma.match(numero);
    if (!m.hasMatch() || m.capturedLength(1) > 1 + FUnidade.Casas())
        return std::nullopt;
    numero.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = numero.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

double TCaixaVelocidade::valueFromText(const QString &text) const
{
    if (!FUnidade.Mph())
        return QDoubleSpinBox::valueFromText(text);
    return FUnidade.Kmh(Lido(text).value_or(FUnidade.DeKmh(value())));
}

QValidator::State TCaixaVelocidade::validate(QString &text, int &pos) const
{
    if (!FUnidade.Mph())
        return QDoubleSpinBox::validate(text, pos);
    QString numero = text;
    if (numero.endsWith(suffix()))
        numero.chop(suffix().size());
    numero = numero.trimmed();
    if (numero.isEmpty() || numero == QLatin1String(".") || numero == QLatin1String(","))
        return QValidator::Intermediate;
    const std::optional<double> v = Lido(text);
    if (!v)
        return QValidator::Invalid;
    const double kmh = FUnidade.Kmh(*v);
    return kmh >= minimum() && kmh <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}
