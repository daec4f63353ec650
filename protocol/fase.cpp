#include "protocol/fase.h"

#include <QCoreApplication>

QString NomeFase(TFase fase)
{
    switch (fase) {
        case TFase::Aquecimento:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TFase", "Aquecimento"));
        case TFase::Exercicio: return QString::fromUtf8(QT_TRANSLATE_NOOP("TFase", "Exercício"));
        case TFase::Recuperacao:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TFase", "Recuperação"));
    }
    return {};
}

QString NomeFaseExibida(TFase fase)
{
    return QCoreApplication::translate("TFase", NomeFase(fase).toUtf8().constData());
}
