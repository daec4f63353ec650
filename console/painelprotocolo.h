#pragma once

#include "kestrova_console_export.h"

#include <QGroupBox>
#include <QList>
#include <optional>

#include "protocol/bibliotecaprotocolos.h"
#include "protocol/protocolo.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QTreeWidget;
class QWidget;

// The protocol part of the set-up: the library's protocols (built-ins, then the user's files)
// and the individualised ramp, the chosen protocol's steps, the test's limits and recovery.
class KESTROVA_CONSOLE_EXPORT TPainelProtocolo : public QGroupBox {
    Q_OBJECT
public:
    explicit TPainelProtocolo(QWidget *parent = nullptr);

    // The chosen protocol (the ramp built from its parameters); nullopt with *erro set.
    std::optional<TProtocolo> Protocolo(QString *erro) const;
    bool Selecionar(const QString &id);
    // Reads the user's protocol folder again (after the editor changed it), keeping the choice.
    void RecarregarBiblioteca();
    double VelocidadeMaxima() const;
    double InclinacaoMaxima() const;
    qint64 RecuperacaoMs() const;
    double RecuperacaoVelocidade() const;
    double RecuperacaoInclinacao() const;
    bool AceitarLimitacao() const;
    // One line per step: "Exercício 1  3:00  2.7 km/h  0.0 %" (ramps with both ends).
    static QString DescreverPassos(const TProtocolo &protocolo);
    static qint64 Duracao(const TProtocolo &protocolo);

signals:
    void ProtocoloMudou();

private:
    void Recarregar();
    void MostrarPassos();
    void Importar();
    QWidget *CriarRampa();
    QWidget *CriarLimites();

    TBibliotecaProtocolos FBiblioteca;
    QList<TProtocolo> FProtocolos;
    QComboBox *FEscolha = nullptr;
    QTreeWidget *FPassos = nullptr;
    QLabel *FAvisos = nullptr;
    QWidget *FRampa = nullptr;
    QDoubleSpinBox *FRampaVelIni = nullptr, *FRampaIncIni = nullptr, *FRampaVelPico = nullptr,
                   *FRampaIncPico = nullptr, *FRampaMinutos = nullptr;
    QDoubleSpinBox *FVelMax = nullptr, *FIncMax = nullptr;
    QDoubleSpinBox *FRecMinutos = nullptr, *FRecVel = nullptr, *FRecInc = nullptr;
    QCheckBox *FAceitar = nullptr;
};
