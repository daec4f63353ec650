#include "clinical/textosclinicos.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <iterator>

namespace {

struct TModelo {
    const char *contexto;
    const char *fonte;
};

// Every text clinical/ computes, as written where it is computed (avaliacaoclinica.cpp,
// idade.cpp, alertasclinicos.cpp); %1, %2... stand for its values.
constexpr TModelo kModelos[] = {
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

const QRegularExpression &Marcador()
{
    static const QRegularExpression marcador(QStringLiteral("%([1-9])"));
    return marcador;
}

// The text as the model with its values, or nothing: each %n matches any run of characters.
bool Casar(const QString &texto, const QString &modelo, QStringList &valores)
{
    QString padrao = QStringLiteral("^");
    QList<int> ordem;  // the number of each marker, in the order they appear
    qsizetype desde = 0;
    for (auto it = Marcador().globalMatch(modelo); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        padrao += QRegularExpression::escape(modelo.mid(desde, m.capturedStart() - desde)) +
                  QStringLiteral("(.*)");
        ordem << m.captured(1).toInt();
        desde = m.capturedEnd();
    }
    padrao += QRegularExpression::escape(modelo.mid(desde)) + QLatin1Char('$');
    const QRegularExpressionMatch m = QRegularExpression(padrao).match(texto);
    if (!m.hasMatch())
        return false;
    valores = QStringList(10);
    for (qsizetype i = 0; i < ordem.size(); ++i)
        valores[ordem.at(i)] = m.captured(int(i + 1));
    return true;
}

// The translation with its markers replaced in one pass, so a value holding "%2" stays as is.
QString Preencher(const QString &traducao, const QStringList &valores)
{
    QString texto;
    qsizetype desde = 0;
    for (auto it = Marcador().globalMatch(traducao); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        texto +=
            traducao.mid(desde, m.capturedStart() - desde) + valores.value(m.captured(1).toInt());
        desde = m.capturedEnd();
    }
    return texto + traducao.mid(desde);
}

}  // namespace

QString TTextosClinicos::Traduzir(const QString &texto)
{
    for (const TModelo &modelo : kModelos) {
        QStringList valores;
        if (Casar(texto, QString::fromUtf8(modelo.fonte), valores))
            return Preencher(QCoreApplication::translate(modelo.contexto, modelo.fonte), valores);
    }
    return texto;
}
