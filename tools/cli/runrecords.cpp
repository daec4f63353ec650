#include "tools/cli/runrecords.h"

namespace protocolcli {

TEventoRegistro TRunRecords::Evento(const TEventoExecucao &e)
{
    TEventoRegistro r;
    r.tempoMs = e.tempoMs;
    r.tipo = Tipo(e.tipo);
    r.estado = int(e.estado);
    r.fase = int(e.fase);
    r.estagio = e.estagio;
    r.velocidade = e.velocidade;
    r.inclinacao = e.inclinacao;
    r.texto = e.texto;
    if (e.tipo == TEventoExecucao::TTipo::Estagio) {  // the protocol's values before the limits
        r.valor1 = e.velocidadeProtocolo;
        r.valor2 = e.inclinacaoProtocolo;
    }
    return r;
}

TAmostraRegistro TRunRecords::Amostra(const TAmostraExecucao &a)
{
    TAmostraRegistro r;
    r.tempoMs = a.tempoMs;
    r.estado = int(a.estado);
    r.fase = int(a.fase);
    r.estagio = a.estagio;
    r.velocidadeAlvo = a.velocidadeAlvo;
    r.inclinacaoAlvo = a.inclinacaoAlvo;
    r.velocidadeConfirmada = a.velocidadeConfirmada;
    r.inclinacaoConfirmada = a.inclinacaoConfirmada;
    r.linkOk = a.linkOk;
    return r;
}

QString TRunRecords::Tipo(TEventoExecucao::TTipo tipo)
{
    switch (tipo) {
        case TEventoExecucao::TTipo::Estado: return QStringLiteral("estado");
        case TEventoExecucao::TTipo::Estagio: return QStringLiteral("estagio");
        case TEventoExecucao::TTipo::Alvo: return QStringLiteral("alvo");
        case TEventoExecucao::TTipo::Limite: return QStringLiteral("limite");
        case TEventoExecucao::TTipo::Falha: return QStringLiteral("falha");
        case TEventoExecucao::TTipo::Acao: break;
    }
    return QStringLiteral("acao");
}

}  // namespace protocolcli
