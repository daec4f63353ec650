#pragma once

#include <QString>
#include <QtGlobal>

#include "kestrova_heartrate_export.h"

// The texts a source says through TFonteCardiaca::Situacao and TVigiaSinal::Mudanca. The console
// records them with the test's events, so they stay Portuguese, the source texts, whatever the
// language; TraduzirSituacaoCardiaca gives the text to show.
namespace SituacaoCardiaca {
inline constexpr const char *kSemSinal = QT_TRANSLATE_NOOP("TSituacaoCardiaca", "sem sinal");
inline constexpr const char *kSinalRecebido =
    QT_TRANSLATE_NOOP("TSituacaoCardiaca", "sinal recebido");
inline constexpr const char *kSinalRestabelecido =
    QT_TRANSLATE_NOOP("TSituacaoCardiaca", "sinal restabelecido");
inline constexpr const char *kConectada = QT_TRANSLATE_NOOP("TSituacaoCardiaca", "cinta conectada");
inline constexpr const char *kReconectada =
    QT_TRANSLATE_NOOP("TSituacaoCardiaca", "cinta reconectada");
inline constexpr const char *kPerdida =
    QT_TRANSLATE_NOOP("TSituacaoCardiaca", "conexão com a cinta perdida");
inline constexpr const char *kNaoEncontrada = QT_TRANSLATE_NOOP(
    "TSituacaoCardiaca",
    "cinta não encontrada ou recusou a conexão (vista-a para acordá-la): nova tentativa a cada "
    "%1 s");
inline constexpr const char *kBateria =
    QT_TRANSLATE_NOOP("TSituacaoCardiaca", "bateria da cinta: %1 %");
inline constexpr const char *kFimDoTraco = QT_TRANSLATE_NOOP("TSituacaoCardiaca", "fim do traço");
}  // namespace SituacaoCardiaca

// The text to show for one a source said (those above, or an adapter's TFalhaBluetooth line) in
// the installed language, its values kept as they are; any other text unchanged.
KESTROVA_HEARTRATE_EXPORT QString TraduzirSituacaoCardiaca(const QString &texto);
