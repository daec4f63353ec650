#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <functional>

#include "kestrova_session_export.h"
#include "session/registrossessao.h"

class TBancoSessoes;

// CSV export of a session's samples and events: one header line, then one line per sample and
// per event in time order (a sample before an event of the same millisecond), RFC 4180 (fields
// with the separator, a quote or a line break are quoted, quotes doubled, CRLF line ends), UTF-8.
//
// Columns (docs/console.md): registro, tempo_s, estado, fase, estagio, velocidade_alvo_kmh,
// inclinacao_alvo_pct, velocidade_confirmada_kmh, inclinacao_confirmada_pct, link_ok, evento,
// velocidade_kmh, inclinacao_pct, valor1, valor2, texto, fc_bpm, fonte_fc, and mets when the
// caller gives its computation (the samples' acknowledged workload; empty for events).
//
// Numbers use a dot and fields a comma, unless the locale's separator is asked for: then the
// locale's decimal separator, and a semicolon between fields where that separator is a comma.
class KESTROVA_SESSION_EXPORT TExportadorCsv {
public:
    struct TOpcoes {
        bool separadorDoLocal = false;
        QLocale local;
        // Display text of a runner state value; empty: the number.
        std::function<QString(int)> nomeEstado;
        // The METs of a sample's acknowledged speed and grade; unset: no mets column.
        std::function<double(const TAmostraRegistro &)> mets;
    };

    static QByteArray Texto(const QList<TAmostraRegistro> &amostras,
                            const QList<TEventoRegistro> &eventos, const TOpcoes &opcoes);
    // Writes the session's CSV to `caminho`; false with *erro set.
    static bool Exportar(const TBancoSessoes &banco, qint64 sessaoId, const QString &caminho,
                         const TOpcoes &opcoes, QString *erro);
    // A field as RFC 4180 writes it.
    static QString Campo(const QString &texto, QChar separador);
};
