#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "heartrate/leituracardiaca.h"
#include "kestrova_heartrate_export.h"

// A recorded heart-rate trace (docs/heartrate.md): CSV with the header "tempo_s,fc" or
// "tempo_s,fc,rr_ms", one reading a line. tempo_s is seconds on the session's axis (0 at the
// end of the countdown, negative before the test), never decreasing; fc a rate of 1 to
// TDecodificadorMedicao::kFcMaxima bpm, or empty for a reading without skin contact; rr_ms empty
// or RR intervals in ms separated by spaces.
class KESTROVA_HEARTRATE_EXPORT TTracoCardiaco {
public:
    // Parses a file's bytes. On a fault returns nothing and sets *erro to the first problem, with
    // its line: "linha 7: fc \"abc\" não é um número".
    static std::optional<TTracoCardiaco> Ler(const QByteArray &csv, QString *erro);
    // Reads the file at caminho; the error names the file.
    static std::optional<TTracoCardiaco> Abrir(const QString &caminho, QString *erro);

    // The readings in the file's order (source name left empty).
    const QList<TLeituraCardiaca> &Leituras() const { return FLeituras; }

private:
    QList<TLeituraCardiaca> FLeituras;
};
