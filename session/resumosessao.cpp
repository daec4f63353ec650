#include "session/resumosessao.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kExercicio = 1, kRecuperacao = 2;
// The runner's held states (TEstadoExecucao in protocol/) as stored.
constexpr int kEstadoPausado = 5, kEstadoLinkPerdido = 6;

bool Espera(int estado)
{
    return estado == kEstadoPausado || estado == kEstadoLinkPerdido;
}

// The operator's actions that leave a stage before its planned end, as the runner records them
// ("acao" events, protocol/maquinaexecucao.cpp); going to the recovery from the recovery is none.
bool Pulou(const TEventoRegistro &e)
{
    if (e.tipo != QLatin1String("acao"))
        return false;
    return e.texto.startsWith(QStringLiteral("Operador: próximo estágio")) ||
           (e.fase != kRecuperacao &&
            e.texto.startsWith(QStringLiteral("Operador: ir para a recuperação")));
}

// The protocol's value where it differs from the one sent; 0 otherwise.
double Diferente(double protocolo, double enviado)
{
    return std::abs(protocolo - enviado) > 1e-9 ? protocolo : 0;
}

// The row a stage starts, or nullptr when it is no new stage.
TResumoEstagio *Inicio(QList<TResumoEstagio> &estagios, int fase, int estagio, qint64 tempoMs,
                       double velocidade, double inclinacao)
{
    if (estagio <= 0)
        return nullptr;
    if (!estagios.isEmpty() && estagios.last().estagio == estagio && estagios.last().fase == fase)
        return nullptr;
    TResumoEstagio e;
    e.estagio = estagio;
    e.fase = fase;
    e.inicioMs = e.fimMs = tempoMs;
    e.velocidade = velocidade;
    e.inclinacao = inclinacao;
    estagios << e;
    return &estagios.last();
}

}  // namespace

QList<TResumoEstagio> TResumoSessao::Estagios(const QList<TAmostraRegistro> &amostras,
                                              const QList<TEventoRegistro> &eventos)
{
    QList<TResumoEstagio> estagios;
    for (const TEventoRegistro &e : eventos) {
        if (e.tipo != QLatin1String("estagio"))
            continue;
        TResumoEstagio *novo =
            Inicio(estagios, e.fase, e.estagio, e.tempoMs, e.velocidade, e.inclinacao);
        // valor1/valor2: the protocol's speed and grade; both 0 in older recordings.
        if (novo && (e.valor1 != 0 || e.valor2 != 0)) {
            novo->velocidadeProtocolo = Diferente(e.valor1, e.velocidade);
            novo->inclinacaoProtocolo = Diferente(e.valor2, e.inclinacao);
        }
    }
    if (estagios.isEmpty())
        for (const TAmostraRegistro &a : amostras)
            Inicio(estagios, a.fase, a.estagio, a.tempoMs, a.velocidadeAlvo, a.inclinacaoAlvo);
    qint64 fim = amostras.isEmpty() ? 0 : amostras.last().tempoMs;
    for (const TEventoRegistro &e : eventos)
        fim = std::max(fim, e.tempoMs);
    for (int i = 0; i < estagios.size(); ++i)
        estagios[i].fimMs = i + 1 < estagios.size() ? estagios.at(i + 1).inicioMs : fim;
    const auto estagioEm = [&estagios](qint64 tempoMs) {
        auto dentro = std::find_if(estagios.rbegin(), estagios.rend(),
                                   [&](const auto &s) { return s.inicioMs <= tempoMs; });
        return dentro == estagios.rend() ? nullptr : &*dentro;
    };
    // The sensor's rate at the stage's end, unless the operator typed one during it.
    for (const TAmostraRegistro &a : amostras)
        if (TResumoEstagio *dentro = estagioEm(a.tempoMs)) {
            if (a.frequenciaCardiaca > 0)
                dentro->frequenciaCardiaca = a.frequenciaCardiaca;
            dentro->espera = dentro->espera || Espera(a.estado);
        }
    for (const TEventoRegistro &e : eventos) {
        TResumoEstagio *dentro = estagioEm(e.tempoMs);
        if (!dentro)
            continue;
        dentro->espera = dentro->espera || Espera(e.estado);
        if (e.tipo == QLatin1String("fc"))
            dentro->frequenciaCardiaca = int(e.valor1);
        else if (e.tipo == QLatin1String("pa")) {
            dentro->pressaoSistolica = int(e.valor1);
            dentro->pressaoDiastolica = int(e.valor2);
            dentro->pressaoMs = e.tempoMs;
        } else if (e.tipo == QLatin1String("borg"))
            dentro->borg = int(e.valor1);
    }
    // The action is recorded in the stage it leaves, at the next one's start.
    for (const TEventoRegistro &e : eventos)
        if (Pulou(e))
            for (TResumoEstagio &s : estagios)
                if (s.estagio == e.estagio && s.fase == e.fase && e.tempoMs >= s.inicioMs &&
                    e.tempoMs <= s.fimMs)
                    s.pulado = true;
    return estagios;
}

TResumoSessao::TPicos TResumoSessao::Picos(const QList<TAmostraRegistro> &amostras,
                                           const QList<TEventoRegistro> &eventos)
{
    TPicos p;
    for (const TAmostraRegistro &a : amostras) {
        p.velocidade = std::max(p.velocidade, a.velocidadeConfirmada);
        p.inclinacao = std::max(p.inclinacao, a.inclinacaoConfirmada);
        p.frequenciaCardiaca = std::max(p.frequenciaCardiaca, a.frequenciaCardiaca);
    }
    for (const TEventoRegistro &e : eventos) {
        if (e.tipo == QLatin1String("fc"))
            p.frequenciaCardiaca = std::max(p.frequenciaCardiaca, int(e.valor1));
        else if (e.tipo == QLatin1String("pa") && int(e.valor1) > p.pressaoSistolica) {
            p.pressaoSistolica = int(e.valor1);
            p.pressaoDiastolica = int(e.valor2);
        } else if (e.tipo == QLatin1String("borg"))
            p.borg = std::max(p.borg, int(e.valor1));
    }
    for (const TResumoEstagio &e : Estagios(amostras, eventos))
        if (e.fase == kExercicio)
            p.exercicioMs += e.fimMs - e.inicioMs;
    return p;
}

QString TResumoSessao::NomeFase(int fase)
{
    switch (fase) {
        case 0: return QString::fromUtf8(QT_TRANSLATE_NOOP("TResumoSessao", "Aquecimento"));
        case kExercicio: return QString::fromUtf8(QT_TRANSLATE_NOOP("TResumoSessao", "Exercício"));
        case 2: return QString::fromUtf8(QT_TRANSLATE_NOOP("TResumoSessao", "Recuperação"));
        default: return QString();
    }
}

QString TResumoSessao::NomeFaseExibido(int fase)
{
    return QCoreApplication::translate("TResumoSessao", NomeFase(fase).toUtf8().constData());
}

QString TResumoSessao::Tempo(qint64 ms)
{
    const qint64 s = std::max<qint64>(ms, 0) / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}
