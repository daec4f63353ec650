#include "protocol/fase.h"

QString NomeFase(TFase fase)
{
    switch (fase) {
        case TFase::Aquecimento: return QStringLiteral("Aquecimento");
        case TFase::Exercicio: return QStringLiteral("Exercício");
        case TFase::Recuperacao: return QStringLiteral("Recuperação");
    }
    return {};
}
