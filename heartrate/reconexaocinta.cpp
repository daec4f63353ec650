#include "heartrate/reconexaocinta.h"

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
    return Mudar(TSituacao::Conectada, reconexao ? QStringLiteral("cinta reconectada")
                                                 : QStringLiteral("cinta conectada"));
}

QString TReconexaoCinta::Perdeu()
{
    // A connection that was up is lost; after that, failed attempts say nothing new.
    if (FSituacao == TSituacao::Conectada)
        return Mudar(TSituacao::Perdida, QStringLiteral("conexão com a cinta perdida"));
    if (FSituacao == TSituacao::Perdida)
        return {};
    return Mudar(TSituacao::SemConexao,
                 QStringLiteral("cinta não encontrada ou recusou a conexão (vista-a para "
                                "acordá-la): nova tentativa a cada %1 s")
                     .arg(kIntervaloMs / 1000));
}

QString TReconexaoCinta::FalhaDoAdaptador(TFalhaBluetooth falha)
{
    if (FSituacao == TSituacao::Adaptador && FFalha == falha)
        return {};
    FFalha = falha;
    FSituacao = TSituacao::Adaptador;
    return TextoFalhaBluetooth(falha);
}

QString TReconexaoCinta::Mudar(TSituacao situacao, const QString &texto)
{
    if (situacao == FSituacao)
        return {};
    FSituacao = situacao;
    return texto;
}
