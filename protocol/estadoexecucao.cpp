#include "protocol/estadoexecucao.h"

#include <QCoreApplication>

QString NomeEstado(TEstadoExecucao estado)
{
    switch (estado) {
        case TEstadoExecucao::Pronto:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Pronto"));
        case TEstadoExecucao::Contagem:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Contagem regressiva"));
        case TEstadoExecucao::Aquecimento:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Aquecimento"));
        case TEstadoExecucao::Exercicio:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Exercício"));
        case TEstadoExecucao::Recuperacao:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Recuperação"));
        case TEstadoExecucao::Pausado:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Pausado"));
        case TEstadoExecucao::LinkPerdido:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Comunicação perdida"));
        case TEstadoExecucao::Parado:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Parado"));
        case TEstadoExecucao::Concluido:
            return QString::fromUtf8(QT_TRANSLATE_NOOP("TEstadoExecucao", "Concluído"));
    }
    return {};
}

QString NomeEstadoExibido(TEstadoExecucao estado)
{
    return QCoreApplication::translate("TEstadoExecucao", NomeEstado(estado).toUtf8().constData());
}
