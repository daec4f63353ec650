#include "console/monitorcardiaco.h"

#include <cmath>

#include "heartrate/fontesimulada.h"

TMonitorCardiaco::TMonitorCardiaco(QObject *parent) : QObject(parent)
{
    FVerificacao.setInterval(500);
    connect(&FVerificacao, &QTimer::timeout, this, &TMonitorCardiaco::Atualizar);
}

TMonitorCardiaco::~TMonitorCardiaco() = default;

void TMonitorCardiaco::AjustarFonte(std::unique_ptr<TFonteCardiaca> fonte)
{
    if (FFonte)
        FFonte->Parar();
    FFonte = std::move(fonte);
    FVigia.Reiniciar();
    FRRPendentes.clear();
    if (FFonte) {
        connect(FFonte.get(), &TFonteCardiaca::Leitura, this, &TMonitorCardiaco::AoLeitura);
        connect(FFonte.get(), &TFonteCardiaca::Situacao, this, &TMonitorCardiaco::Aviso);
        FFonte->Iniciar();
        FVerificacao.start();
    } else {
        FVerificacao.stop();
    }
    Atualizar();
}

void TMonitorCardiaco::IniciarTeste(qint64 contagemMs, double escala)
{
    FVigia.Reiniciar();
    FRRPendentes.clear();
    if (FFonte)
        FFonte->AncorarTeste(-contagemMs, escala);
    Atualizar();
}

void TMonitorCardiaco::AoLeitura(const TLeituraCardiaca &leitura)
{
    FVigia.Registrar(leitura);
    // Intervals measured without skin contact are noise, as the rate is.
    if (leitura.contato != TContatoSensor::NaoDetectado)
        for (double rr : leitura.rrMs)
            FRRPendentes << int(std::lround(rr));
    Atualizar();
}

void TMonitorCardiaco::Completar(TAmostraRegistro &amostra)
{
    amostra.frequenciaCardiaca = 0;
    amostra.fonteFc.clear();
    amostra.intervalosRR.clear();
    if (!FFonte)
        return;
    if (const std::optional<int> fc = FVigia.FcAtual(amostra.tempoMs)) {
        amostra.frequenciaCardiaca = *fc;
        amostra.fonteFc = FFonte->Nome();
        amostra.intervalosRR = FRRPendentes;
    }
    FRRPendentes.clear();
    if (const QString mudanca = FVigia.Mudanca(amostra.tempoMs); !mudanca.isEmpty())
        emit Aviso(QStringLiteral("Frequência cardíaca (%1): %2").arg(FFonte->Nome(), mudanca));
}

void TMonitorCardiaco::AjustarCarga(double velocidadeKmh, double inclinacaoPct)
{
    if (auto *simulada = qobject_cast<TFonteSimulada *>(FFonte.get()))
        simulada->AjustarCarga(velocidadeKmh, inclinacaoPct);
}

qint64 TMonitorCardiaco::AgoraMs() const
{
    return FFonte ? FFonte->RelogioSessao().AgoraMs() : 0;
}

std::optional<int> TMonitorCardiaco::FcAtual() const
{
    return FFonte ? FVigia.FcAtual(AgoraMs()) : std::nullopt;
}

QString TMonitorCardiaco::Texto() const
{
    if (!FFonte)
        return QStringLiteral("-");
    const std::optional<int> fc = FcAtual();
    return fc ? QString::number(*fc) : kSemSinal;
}

void TMonitorCardiaco::Atualizar()
{
    const QString texto = Texto();
    if (texto == FTextoMostrado)
        return;
    FTextoMostrado = texto;
    emit TextoMudou(texto);
}
