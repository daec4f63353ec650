#include "protocol/estadoexecucao.h"

QString NomeEstado(TEstadoExecucao estado)
{
    switch (estado) {
        case TEstadoExecucao::Pronto: return QStringLiteral("Pronto");
        case TEstadoExecucao::Contagem: return QStringLiteral("Contagem regressiva");
        case TEstadoExecucao::Aquecimento: return QStringLiteral("Aquecimento");
        case TEstadoExecucao::Exercicio: return QStringLiteral("Exercício");
        case TEstadoExecucao::Recuperacao: return QStringLiteral("Recuperação");
        case TEstadoExecucao::Pausado: return QStringLiteral("Pausado");
        case TEstadoExecucao::LinkPerdido: return QStringLiteral("Comunicação perdida");
        case TEstadoExecucao::Parado: return QStringLiteral("Parado");
        case TEstadoExecucao::Concluido: return QStringLiteral("Concluído");
    }
    return {};
}
