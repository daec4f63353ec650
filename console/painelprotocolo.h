#pragma once

#include "kestrova_console_export.h"

#include <QGroupBox>
#include <QList>
#include <optional>

#include "protocol/bibliotecaprotocolos.h"
#include "protocol/protocolo.h"
#include "protocol/unidadevelocidade.h"

class QCheckBox;
class QComboBox;
class TCaixaVelocidade;
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
    // The unit the speeds are shown and typed in; the values read stay km/h.
    void AjustarUnidade(const TUnidadeVelocidade &unidade);
    // One line per step: "Exercício 1  3:00  2.7 km/h  0.0 %" (ramps with both ends); in mph the
    // speed the board takes for the step's value, converted back ("1.68 mph").
    static QString DescreverPassos(const TProtocolo &protocolo,
                                   const TUnidadeVelocidade &unidade = TUnidadeVelocidade());
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
    TUnidadeVelocidade FUnidade;
    TCaixaVelocidade *FRampaVelIni = nullptr, *FRampaVelPico = nullptr, *FVelMax = nullptr,
                     *FRecVel = nullptr;
    QDoubleSpinBox *FRampaIncIni = nullptr, *FRampaIncPico = nullptr, *FRampaMinutos = nullptr;
    QDoubleSpinBox *FIncMax = nullptr;
    QDoubleSpinBox *FRecMinutos = nullptr, *FRecInc = nullptr;
    QCheckBox *FAceitar = nullptr;
};
