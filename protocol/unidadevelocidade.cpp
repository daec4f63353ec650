#include "protocol/unidadevelocidade.h"

TUnidadeVelocidade::TUnidadeVelocidade(TUnidade unidade) : FUnidade(unidade) {}

QString TUnidadeVelocidade::Simbolo() const
{
    return QStringLiteral("km/h");
}

int TUnidadeVelocidade::Casas() const
{
    return 1;
}

double TUnidadeVelocidade::ParaKmh(double valor) const
{
    return valor;
}

double TUnidadeVelocidade::DeKmh(double kmh) const
{
    return kmh;
}
