#include "heartrate/reconexaocinta.h"

#include "heartrate/situacaocardiaca.h"

void TReconexaoCinta::Iniciar()
{
    *this = TReconexaoCinta{};
    FTentando = true;
}

void TReconexaoCinta::Parar()
{
    FTentando = false;
}

QString TReconexaoCinta::Conectou()
{
    const bool reconexao = FJaConectou;
    FJaConectou = true;
    return Mudar(TSituacao::Conectada, QString::fromUtf8(reconexao ? SituacaoCardiaca::kReconectada
                                                                   : SituacaoCardiaca::kConectada));
}

QString TReconexaoCinta::Perdeu()
{
    // A connection that was up is lost; after that, failed attempts say nothing new.
    if (FSituacao == TSituacao::Conectada)
        return Mudar(TSituacao::Perdida, QString::fromUtf8(SituacaoCardiaca::kPerdida));
    if (FSituacao == TSituacao::Perdida)
        return {};
    return Mudar(TSituacao::SemConexao,
                 QString::fromUtf8(SituacaoCardiaca::kNaoEncontrada).arg(kIntervaloMs / 1000));
}

QString TReconexaoCinta::FalhaDoAdaptador(TFalhaBluetooth falha)
{
    if (FSituacao == TSituacao::Adaptador && FFalha == falha)
        return {};
    FFalha = falha;
    FSituacao = TSituacao::Adaptador;
    return TextoFalhaBluetoothGravado(falha);
}

QString TReconexaoCinta::Mudar(TSituacao situacao, const QString &texto)
{
    if (situacao == FSituacao)
        return {};
    FSituacao = situacao;
    return texto;
}
