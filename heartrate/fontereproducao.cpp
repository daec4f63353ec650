#include "heartrate/fontereproducao.h"

#include <algorithm>

#include "heartrate/situacaocardiaca.h"

namespace {

// The longest the timer sleeps: a clock driven by hand, or a re-anchored session, is seen
// within this time.
constexpr qint64 kEsperaMaximaMs = 100;

}  // namespace

TFonteReproducao::TFonteReproducao(const TTracoCardiaco &traco, const QString &nome,
                                   std::shared_ptr<TRelogio> relogio, QObject *parent)
    : TFonteCardiaca(std::move(relogio), parent), FLeituras(traco.Leituras()), FNome(nome)
{
    for (TLeituraCardiaca &leitura : FLeituras)
        leitura.fonte = FNome;
    FTimer.setSingleShot(true);
    FTimer.setTimerType(Qt::PreciseTimer);
    connect(&FTimer, &QTimer::timeout, this, &TFonteReproducao::Processar);
}

void TFonteReproducao::Iniciar()
{
    const qint64 agora = RelogioSessao().AgoraMs();
    FProxima = std::lower_bound(FLeituras.cbegin(), FLeituras.cend(), agora,
                                [](const TLeituraCardiaca &l, qint64 t) { return l.tempoMs < t; }) -
               FLeituras.cbegin();
    FEmitidas = 0;
    FAtiva = true;
    Processar();
}

void TFonteReproducao::AncorarTeste(qint64 tempoSessaoMs, double escala)
{
    Parar();
    TFonteCardiaca::AncorarTeste(tempoSessaoMs, escala);
    Iniciar();
}

void TFonteReproducao::Parar()
{
    FAtiva = false;
    FTimer.stop();
}

void TFonteReproducao::Processar()
{
    if (!FAtiva)
        return;
    const qint64 agora = RelogioSessao().AgoraMs();
    while (FAtiva && FProxima < FLeituras.size() && FLeituras[FProxima].tempoMs <= agora) {
        ++FEmitidas;
        emit Leitura(FLeituras[FProxima++]);
    }
    if (!FAtiva)
        return;  // stopped from a handler
    if (FProxima >= FLeituras.size()) {
        FAtiva = false;
        emit Situacao(QString::fromUtf8(SituacaoCardiaca::kFimDoTraco));
        return;
    }
    Agendar();
}

void TFonteReproducao::Agendar()
{
    const qint64 espera = RelogioSessao().EsperaAteMs(FLeituras[FProxima].tempoMs);
    FTimer.start(int(std::clamp<qint64>(espera, 1, kEsperaMaximaMs)));
}
