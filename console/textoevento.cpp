#include "console/textoevento.h"

#include <QCoreApplication>

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

}  // namespace

QString TTextoEvento::Leitura(const QString &texto)
{
    QStringList valores;
    if (TTradutorModelos::Casar(texto, QString::fromUtf8(kRepouso), valores))
        return QCoreApplication::translate("TPainelEntradas", kRepouso)
            .arg(TTradutorModelos::Traduzir(valores[1], kLeituras));
    return TTradutorModelos::Traduzir(texto, kLeituras);
}

QString TTextoEvento::Exibido(const TEventoRegistro &evento)
{
    if (EhLeitura(evento.tipo))
        return Leitura(evento.texto);
    if (evento.tipo == QLatin1String("aviso"))
        return TTextosClinicos::Traduzir(evento.texto);
    if (evento.tipo == QLatin1String("sinal_fc")) {
        QStringList valores;
        if (TTradutorModelos::Casar(evento.texto, QString::fromUtf8(kSinal), valores))
            return QCoreApplication::translate("TMonitorCardiaco", kSinal)
                .arg(valores[1], TraduzirSituacaoCardiaca(valores[2]));
        return TraduzirSituacaoCardiaca(evento.texto);
    }
    if (evento.tipo == QLatin1String("comentario"))
        return evento.texto;
    return TTextosExecucao::Traduzir(evento.texto);
}
