#include "protocol/textosexecucao.h"

#include <QCoreApplication>

#include "platform/tradutormodelos.h"
#include "protocol/estadoexecucao.h"
#include "protocol/fase.h"

namespace {

// Every event text maquinaexecucao.cpp records, as written there; a model that another one
// begins with comes after it ("Estágio %1 (%2): %3" takes any end).
constexpr TModeloTexto kModelos[] = {
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: iniciar")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao",
                       "Operador: cancelar contagem (o teste já começou: parando a esteira)")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: cancelar contagem")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: pausar")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: retomar")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: próximo estágio")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: ir para a recuperação")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: velocidade manual %1 km/h")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: inclinação manual %1 %")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Operador: parar")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Janela sem resposta: protocolo em espera")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP(
         "TMaquinaExecucao",
         "A porta serial perdeu o dispositivo durante a contagem: contagem cancelada, nada "
         "foi enviado à esteira.")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao",
                       "A porta serial perdeu o dispositivo (cabo desconectado?).")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP(
         "TMaquinaExecucao",
         "Porta reaberta: nada foi enviado à esteira; pressione Retomar para continuar ou "
         "PARAR.")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Nenhuma resposta da esteira há 2 s.")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Falha ao enviar a velocidade: %1")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Falha ao enviar a inclinação: %1")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Falha ao parar a esteira (teste anterior): %1")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao",
                       "Falha ao parar a esteira: %1 (nova tentativa a cada período)")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Parada confirmada pela esteira.")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Fim do protocolo: parando a esteira")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Estágio %1 (%2): %3 (protocolo: %4)")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Estágio %1 (%2): %3")},
    {"TMaquinaExecucao", QT_TRANSLATE_NOOP("TMaquinaExecucao", "Alvo: %1")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Velocidade limitada a %1 km/h (protocolo: %2 km/h)")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao", "Inclinação limitada a %1 % (protocolo: %2 %)")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP("TMaquinaExecucao",
                       "Comunicação restabelecida: pressione Retomar para continuar.")},
    {"TMaquinaExecucao",
     QT_TRANSLATE_NOOP(
         "TMaquinaExecucao",
         "Comunicação perdida: protocolo em espera. Verifique o cabo e pressione Retomar "
         "quando a esteira responder.")},
};

constexpr TFase kFases[] = {TFase::Aquecimento, TFase::Exercicio, TFase::Recuperacao};
constexpr TEstadoExecucao kEstados[] = {
    TEstadoExecucao::Pronto,      TEstadoExecucao::Contagem,    TEstadoExecucao::Aquecimento,
    TEstadoExecucao::Exercicio,   TEstadoExecucao::Recuperacao, TEstadoExecucao::Pausado,
    TEstadoExecucao::LinkPerdido, TEstadoExecucao::Parado,      TEstadoExecucao::Concluido};

// A stage's phase is recorded by its name: shown in the installed language.
QString FaseExibida(const QString &nome)
{
    for (const TFase fase : kFases)
        if (nome == NomeFase(fase))
            return NomeFaseExibida(fase);
    return nome;
}

}  // namespace

QString TTextosExecucao::Traduzir(const QString &texto)
{
    for (const TEstadoExecucao estado : kEstados)
        if (texto == NomeEstado(estado))
            return NomeEstadoExibido(estado);
    for (const TModeloTexto &modelo : kModelos) {
        QStringList valores;
        if (!TTradutorModelos::Casar(texto, QString::fromUtf8(modelo.fonte), valores))
            continue;
        if (QByteArrayView(modelo.fonte).startsWith("Estágio"))
            valores[2] = FaseExibida(valores[2]);
        return TTradutorModelos::Preencher(
            QCoreApplication::translate(modelo.contexto, modelo.fonte), valores);
    }
    return texto;
}
