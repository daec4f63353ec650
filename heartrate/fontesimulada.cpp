#include "heartrate/fontesimulada.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kPeriodoMs = 1000;
constexpr qint64 kEsperaMaximaMs = 100;  // a clock driven by hand is seen within this time

qint64 SegundoAnterior(qint64 ms)  // the whole second at or before ms
{
    return ms >= 0 ? ms / kPeriodoMs * kPeriodoMs
                   : -((-ms + kPeriodoMs - 1) / kPeriodoMs) * kPeriodoMs;
}

qint64 SegundoSeguinte(qint64 ms)  // the whole second at or after ms
{
    return -SegundoAnterior(-ms);
}

}  // namespace

TFonteSimulada::TFonteSimulada(std::shared_ptr<TRelogio> relogio, QObject *parent)
    : TFonteSimulada(TModeloCardiaco(), std::move(relogio), parent)
{
}

TFonteSimulada::TFonteSimulada(const TModeloCardiaco &modelo, std::shared_ptr<TRelogio> relogio,
                               QObject *parent)
    : TFonteCardiaca(std::move(relogio), parent), FModelo(modelo)
{
    FFc = FModelo.Parametros().fcRepouso;
    FTimer.setSingleShot(true);
    FTimer.setTimerType(Qt::PreciseTimer);
    connect(&FTimer, &QTimer::timeout, this, &TFonteSimulada::Processar);
}

// Not translated: the name is recorded with each sample's heart rate (fonte_fc).
QString TFonteSimulada::Nome() const
{
    return QStringLiteral("Cinta simulada");
}

void TFonteSimulada::Iniciar()
{
    const qint64 agora = RelogioSessao().AgoraMs();
    FFc = FModelo.Parametros().fcRepouso;
    FTempoEstadoMs = agora;
    FProximaMs = SegundoSeguinte(agora);
    FAtiva = true;
    Processar();
}

void TFonteSimulada::Parar()
{
    FAtiva = false;
    FTimer.stop();
}

void TFonteSimulada::AjustarCarga(double velocidadeKmh, double inclinacaoPct)
{
    if (FAtiva) {
        // The seconds due are emitted with the workload they had, then the state moves to now.
        Processar();
        AvancarAte(RelogioSessao().AgoraMs());
    }
    FVelocidade = velocidadeKmh;
    FInclinacao = inclinacaoPct;
}

void TFonteSimulada::Processar()
{
    if (!FAtiva)
        return;
    const qint64 agora = RelogioSessao().AgoraMs();
    if (agora < FTempoEstadoMs) {
        // The session's axis was anchored back (the countdown started): go on from there.
        FTempoEstadoMs = agora;
        FProximaMs = SegundoSeguinte(agora);
    }
    if (agora >= FProximaMs) {
        const qint64 segundo = SegundoAnterior(agora);
        AvancarAte(segundo);
        FProximaMs = segundo + kPeriodoMs;
        TLeituraCardiaca leitura;
        leitura.tempoMs = segundo;
        leitura.bpm = int(std::lround(FFc));
        leitura.contato = TContatoSensor::Detectado;
        leitura.fonte = Nome();
        emit Leitura(leitura);
        if (!FAtiva)
            return;  // stopped from a handler
    }
    const qint64 espera = RelogioSessao().EsperaAteMs(FProximaMs);
    FTimer.start(int(std::clamp<qint64>(espera, 1, kEsperaMaximaMs)));
}

void TFonteSimulada::AvancarAte(qint64 tempoMs)
{
    if (tempoMs <= FTempoEstadoMs)
        return;
    FFc = FModelo.Avancar(FFc, FVelocidade, FInclinacao, double(tempoMs - FTempoEstadoMs) / 1000.0);
    FTempoEstadoMs = tempoMs;
}
