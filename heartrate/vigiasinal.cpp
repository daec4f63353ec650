#include "heartrate/vigiasinal.h"

#include "heartrate/situacaocardiaca.h"

void TVigiaSinal::Registrar(const TLeituraCardiaca &leitura)
{
    // A reading older than the one kept (a late notification) does not replace it.
    if (!FUltima || leitura.tempoMs >= FUltima->tempoMs)
        FUltima = leitura;
}

std::optional<int> TVigiaSinal::FcAtual(qint64 agoraMs) const
{
    if (!FUltima || FUltima->bpm <= 0 || FUltima->contato == TContatoSensor::NaoDetectado)
        return std::nullopt;
    if (agoraMs - FUltima->tempoMs >= kValidadeMs)
        return std::nullopt;
    return FUltima->bpm;
}

QString TVigiaSinal::Mudanca(qint64 agoraMs)
{
    const bool comSinal = TemSinal(agoraMs);
    if (comSinal == FComSinal)
        return {};
    FComSinal = comSinal;
    if (!comSinal)
        return QString::fromUtf8(SituacaoCardiaca::kSemSinal);
    const bool primeira = !FJaTeveSinal;
    FJaTeveSinal = true;
    return QString::fromUtf8(primeira ? SituacaoCardiaca::kSinalRecebido
                                      : SituacaoCardiaca::kSinalRestabelecido);
}

void TVigiaSinal::Reiniciar()
{
    *this = TVigiaSinal{};
}
