#include "clinical/idade.h"

QDate TIdade::LerNascimento(const QString &nascimento)
{
    const QString texto = nascimento.trimmed();
    const QDate data = QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
    return data.isValid() ? data : QDate::fromString(texto, Qt::ISODate);
}

// The reasons are source texts, listed in textosclinicos.cpp, which translates them.
TResultado<int> TIdade::NaData(const QString &nascimento, const QDate &data)
{
    if (nascimento.trimmed().isEmpty())
        return {std::nullopt, QStringLiteral("data de nascimento não informada")};
    const QDate nasceu = LerNascimento(nascimento);
    if (!nasceu.isValid())
        return {std::nullopt,
                QStringLiteral("data de nascimento \"%1\" ilegível (dd/mm/aaaa)").arg(nascimento)};
    if (!data.isValid())
        return {std::nullopt, QStringLiteral("data do teste desconhecida")};
    if (nasceu > data)
        return {std::nullopt, QStringLiteral("data de nascimento posterior à do teste")};
    int anos = data.year() - nasceu.year();
    if (data.month() < nasceu.month() ||
        (data.month() == nasceu.month() && data.day() < nasceu.day()))
        --anos;
    return {anos, QString()};
}
