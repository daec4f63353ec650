#include "clinical/textosclinicos.h"

#include <QCoreApplication>

#include "platform/tradutormodelos.h"

namespace {

// Every text clinical/ computes, as written where it is computed (avaliacaoclinica.cpp,
// idade.cpp, alertasclinicos.cpp); %1, %2... stand for its values.
constexpr TModeloTexto kModelos[] = {
    {"TIdade", QT_TRANSLATE_NOOP("TIdade", "data de nascimento não informada")},
    {"TIdade", QT_TRANSLATE_NOOP("TIdade", "data de nascimento \"%1\" ilegível (dd/mm/aaaa)")},
    {"TIdade", QT_TRANSLATE_NOOP("TIdade", "data do teste desconhecida")},
    {"TIdade", QT_TRANSLATE_NOOP("TIdade", "data de nascimento posterior à do teste")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "pressão sistólica de repouso não informada")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "nenhuma pressão arterial medida durante o exercício")},
    {"TAvaliacaoClinica", QT_TRANSLATE_NOOP("TAvaliacaoClinica", "sexo do paciente não informado")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica",
                       "nenhuma frequência cardíaca a até 10 s da medida de pressão")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "nenhuma pressão arterial medida")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica",
                       "nenhuma pressão arterial com frequência cardíaca a até 10 s")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "o teste não chegou à fase de exercício")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica",
                       "nenhuma velocidade confirmada pela esteira no exercício")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "escore de Duke só nos protocolos de Bruce")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "estágios de Bruce alterados pelos limites do teste")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "o teste terminou antes do estágio 1 de Bruce")},
    {"TAvaliacaoClinica", QT_TRANSLATE_NOOP("TAvaliacaoClinica", "Foster (Bruce)")},
    {"TAvaliacaoClinica", QT_TRANSLATE_NOOP("TAvaliacaoClinica", "Foster (Bruce modificado)")},
    {"TAvaliacaoClinica", QT_TRANSLATE_NOOP("TAvaliacaoClinica", "ACSM, carga de pico")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica",
                       "nenhuma frequência cardíaca medida ou anotada no exercício")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "frequência cardíaca de repouso não informada")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica",
                       "nenhuma frequência cardíaca a até 10 s de %1 min da recuperação")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica", "desvio de ST e índice de angina não informados")},
    {"TAvaliacaoClinica", QT_TRANSLATE_NOOP("TAvaliacaoClinica", "desvio de ST não informado")},
    {"TAvaliacaoClinica", QT_TRANSLATE_NOOP("TAvaliacaoClinica", "índice de angina não informado")},
    {"TAvaliacaoClinica",
     QT_TRANSLATE_NOOP("TAvaliacaoClinica",
                       "frequência de repouso não é menor que a máxima prevista")},
    {"TAlertasClinicos",
     QT_TRANSLATE_NOOP("TAlertasClinicos", "FC %1 bpm acima do limite do teste (%2 bpm)")},
    {"TAlertasClinicos",
     QT_TRANSLATE_NOOP("TAlertasClinicos", "PA sistólica %1 mmHg acima de %2 mmHg")},
    {"TAlertasClinicos",
     QT_TRANSLATE_NOOP("TAlertasClinicos", "PA diastólica %1 mmHg acima de %2 mmHg")},
    {"TAlertasClinicos",
     QT_TRANSLATE_NOOP("TAlertasClinicos",
                       "Queda da PA sistólica de %1 mmHg durante o exercício (%2 → %3 mmHg)")},
};

}  // namespace

QString TTextosClinicos::Traduzir(const QString &texto)
{
    return TTradutorModelos::Traduzir(texto, kModelos);
}
