#pragma once

#include <QString>

#include "heartrate/falhabluetooth.h"
#include "kestrova_heartrate_export.h"

// What a strap's connection does next and what the operator reads about it. A failed attempt
// or a lost connection is tried again kIntervaloMs later, until Parar; each text is said once,
// when the situation changes, not at every attempt that fails the same way.
class KESTROVA_HEARTRATE_EXPORT TReconexaoCinta {
public:
    static constexpr int kIntervaloMs = 3000;

    // A new start: nothing connected yet, attempts from now on.
    void Iniciar();
    // Attempts end (the source stopped).
    void Parar();
    bool Tentando() const { return FTentando; }

    // Each returns the text to show, empty when the operator already read it: the Portuguese
    // source text, recorded as it is; TraduzirSituacaoCardiaca shows it translated.
    // The strap is connected and notifying: "cinta conectada" the first time, "cinta
    // reconectada" after a loss.
    QString Conectou();
    // An attempt failed (the strap not found, the connection refused) or the connection dropped:
    // "conexão com a cinta perdida" when it was connected.
    QString Perdeu();
    // The adapter stands in the way: its line (TextoFalhaBluetoothGravado).
    QString FalhaDoAdaptador(TFalhaBluetooth falha);

private:
    enum class TSituacao { Inicio, Conectada, SemConexao, Perdida, Adaptador };

    QString Mudar(TSituacao situacao, const QString &texto);

    TSituacao FSituacao = TSituacao::Inicio;
    TFalhaBluetooth FFalha = TFalhaBluetooth::SemAdaptador;  // when FSituacao is Adaptador
    bool FJaConectou = false;
    bool FTentando = false;
};
