#pragma once

#include "kestrova_console_export.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

#include "clinical/alertasclinicos.h"
#include "clinical/resultado.h"
#include "session/registrossessao.h"

class TRelogio;

// The clinical side of a running test, beside the belt: the resting values typed in the minute
// before the countdown, the live figures (METs of the acknowledged workload, the heart rate as a
// share of the predicted maximum), the warnings (docs/clinical.md), each said once when it starts
// to hold, and what the test's entries give the session at its end (the ST deviation, the angina
// index). The operator decides; nothing here reaches the belt.
class KESTROVA_CONSOLE_EXPORT TAcompanhamentoClinico : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kRepousoMs = 60000;

    explicit TAcompanhamentoClinico(std::shared_ptr<TRelogio> relogio, QObject *parent = nullptr);

    // An entry typed with no test being recorded: a resting value for the next test, for a
    // minute ("fc" and "pa"; others are ignored).
    void Repouso(const TEventoRegistro &entrada);
    // The countdown starts: the session gets the resting values typed in the last minute (the
    // heart rate, else the sensor's now), and the predicted maximum and the heart-rate limit are
    // worked out for the patient. Returns the resting entries to record, at negative times.
    QList<TEventoRegistro> IniciarTeste(TSessao &sessao, const TPaciente &paciente,
                                        std::optional<int> fcSensor);
    // A recorded sample and a recorded entry of the running test.
    void Amostra(const TAmostraRegistro &amostra);
    void Entrada(const TEventoRegistro &entrada);
    // The ST deviation and angina index the entries and the stop reason give (kept empty when
    // never entered: the score that needs them is then "não informado").
    void Concluir(TSessao &sessao, const QString &motivoParada) const;

    const TResultado<double> &FcMaximaPrevista() const { return FFcPrevista; }
    std::optional<double> FcAlvo() const;
    // "5.4 METs", or "-" without the board's acknowledged values.
    static QString TextoMets(const TAmostraRegistro &amostra, bool conhecida);
    // "72 % da máx." of the predicted maximum, or empty when it is not known.
    QString TextoFracao(int fc) const;

signals:
    // A warning that starts to hold, in Portuguese.
    void Aviso(const QString &texto);

private:
    void Avaliar();

    std::shared_ptr<TRelogio> FRelogio;
    struct TRepouso {
        qint64 quandoMs = 0;
        TEventoRegistro entrada;
    };
    std::optional<TRepouso> FFcRepouso, FPaRepouso;
    TResultado<double> FFcPrevista, FLimite;
    double FPercentualAlvo = 85;
    TAlertasClinicos::TMomento FMomento;
    QStringList FAtivos;
    std::optional<double> FStMaximo;
    std::optional<int> FAnginaMaxima;
};
