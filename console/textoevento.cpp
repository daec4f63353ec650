#include "console/textoevento.h"

#include <QCoreApplication>
#include <functional>

#include "clinical/textosclinicos.h"
#include "heartrate/situacaocardiaca.h"
#include "platform/tradutormodelos.h"
#include "protocol/textosexecucao.h"
#include "session/registrossessao.h"

namespace {

// The readings as TPainelEntradas composes them, and the resting mark TAcompanhamentoClinico
// adds to one taken before the test.
constexpr TModeloTexto kLeituras[] = {
    {"TPainelEntradas", QT_TRANSLATE_NOOP("TPainelEntradas", "FC %1 bpm")},
    {"TPainelEntradas", QT_TRANSLATE_NOOP("TPainelEntradas", "PA %1/%2 mmHg")},
    {"TPainelEntradas", QT_TRANSLATE_NOOP("TPainelEntradas", "Borg %1")},
    {"TPainelEntradas", QT_TRANSLATE_NOOP("TPainelEntradas", "Angina %1/%2")},
    {"TPainelEntradas", QT_TRANSLATE_NOOP("TPainelEntradas", "Desvio de ST %1 mm")},
};
const char *const kRepouso = QT_TRANSLATE_NOOP("TPainelEntradas", "%1 (repouso)");
// The strap's signal as TMonitorCardiaco says it: the source's name (kept), what changed.
const char *const kSinal = QT_TRANSLATE_NOOP("TMonitorCardiaco", "Frequência cardíaca (%1): %2");

bool EhLeitura(const QString &tipo)
{
    for (const char *t : {"fc", "pa", "borg", "angina", "st"})
        if (tipo == QLatin1String(t))
            return true;
    return false;
}

// A text that wraps another one as its value %n ("%1 (repouso)"): the wrapper translated
// around the inner text as interno shows it; a text the wrapper does not match, as interno
// shows it.
QString Envolto(const QString &texto, const char *contexto, const char *modelo, int n,
                const std::function<QString(const QString &)> &interno)
{
    QStringList valores;
    if (!TTradutorModelos::Casar(texto, QString::fromUtf8(modelo), valores))
        return interno(texto);
    valores[n] = interno(valores[n]);
    return TTradutorModelos::Preencher(QCoreApplication::translate(contexto, modelo), valores);
}

QString Leitura(const QString &texto)
{
    return TTradutorModelos::Traduzir(texto, kLeituras);
}

}  // namespace

QString TTextoEvento::Exibido(const TEventoRegistro &evento)
{
    if (EhLeitura(evento.tipo))
        return Envolto(evento.texto, "TPainelEntradas", kRepouso, 1, Leitura);
    if (evento.tipo == QLatin1String("aviso"))
        return TTextosClinicos::Traduzir(evento.texto);
    if (evento.tipo == QLatin1String("sinal_fc"))
        return Envolto(evento.texto, "TMonitorCardiaco", kSinal, 2, TraduzirSituacaoCardiaca);
    if (evento.tipo == QLatin1String("comentario"))
        return evento.texto;
    return TTextosExecucao::Traduzir(evento.texto);
}
