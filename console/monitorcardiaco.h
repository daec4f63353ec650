#pragma once

#include "kestrova_console_export.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "heartrate/fontecardiaca.h"
#include "heartrate/vigiasinal.h"
#include "session/registrossessao.h"

// The heart rate of a test: the chosen source, the rule that shows "sem sinal" rather than a
// stale number, what each 1 Hz sample records, and the figure the running view shows. Nothing
// here touches the belt: the source only hears the acknowledged workload.
class KESTROVA_CONSOLE_EXPORT TMonitorCardiaco : public QObject {
    Q_OBJECT

public:
    static inline const QString kSemSinal = QStringLiteral("sem sinal");

    explicit TMonitorCardiaco(QObject *parent = nullptr);
    ~TMonitorCardiaco() override;

    // The source from now on, or none; started at once, so the operator sees the rate before
    // the test starts.
    void AjustarFonte(std::unique_ptr<TFonteCardiaca> fonte);
    TFonteCardiaca *Fonte() const { return FFonte.get(); }

    // The countdown starts: the session's axis is -kContagemMs now, at the test's time scale;
    // the signal's history is forgotten.
    void IniciarTeste(qint64 contagemMs, double escala);
    // Fills the sample's heart rate (empty without a current one), its source and the RR
    // intervals received since the previous sample; reports a change of signal (Aviso).
    void Completar(TAmostraRegistro &amostra);
    // The belt's acknowledged speed and grade, for a simulated strap.
    void AjustarCarga(double velocidadeKmh, double inclinacaoPct);

    std::optional<int> FcAtual() const;
    // The figure: the rate, kSemSinal, or "-" without a source.
    QString Texto() const;

signals:
    void TextoMudou(const QString &texto);
    // For the events list: the signal lost or back, the source's own news.
    void Aviso(const QString &texto);

private:
    void AoLeitura(const TLeituraCardiaca &leitura);
    void Atualizar();
    qint64 AgoraMs() const;

    std::unique_ptr<TFonteCardiaca> FFonte;
    TVigiaSinal FVigia;
    QList<int> FRRPendentes;
    QTimer FVerificacao;  // a signal that lapses between readings is seen within this period
    QString FTextoMostrado;
};
