#include "protocol/executorprotocolo.h"

struct TExecutorProtocolo::TPrivado {};

TExecutorProtocolo::TExecutorProtocolo(TOrvanta *dispositivo, QObject *parent)
    : TExecutorProtocolo(dispositivo, std::make_shared<TRelogioMonotonico>(), parent)
{
}

TExecutorProtocolo::TExecutorProtocolo(TOrvanta *, std::shared_ptr<TRelogio>, QObject *parent)
    : QObject(parent), d(std::make_unique<TPrivado>())
{
}

TExecutorProtocolo::~TExecutorProtocolo() = default;
void TExecutorProtocolo::AjustarProtocolo(const TProtocolo &) {}
void TExecutorProtocolo::AjustarLimites(double, double) {}
void TExecutorProtocolo::AjustarRecuperacao(qint64, double, double) {}
void TExecutorProtocolo::AjustarAceitarLimitacao(bool) {}
void TExecutorProtocolo::AjustarEscalaTempo(double) {}
void TExecutorProtocolo::AjustarPeriodoMs(int) {}
TEstadoExecucao TExecutorProtocolo::Estado() const
{
    return TEstadoExecucao::Pronto;
}
TAmostraExecucao TExecutorProtocolo::UltimaAmostra() const
{
    return {};
}
TProtocolo TExecutorProtocolo::Protocolo() const
{
    return {};
}
void TExecutorProtocolo::Iniciar() {}
void TExecutorProtocolo::CancelarContagem() {}
void TExecutorProtocolo::Pausar() {}
void TExecutorProtocolo::Retomar() {}
void TExecutorProtocolo::ProximoEstagio() {}
void TExecutorProtocolo::IrParaRecuperacao() {}
void TExecutorProtocolo::AjustarVelocidadeManual(double) {}
void TExecutorProtocolo::AjustarInclinacaoManual(double) {}
void TExecutorProtocolo::Parar() {}
