#include "session/exportadorcsv.h"

#include <QCoreApplication>
#include <QSaveFile>

#include "session/bancosessoes.h"
#include "session/resumosessao.h"

namespace {

class TLinha {
public:
    TLinha(const TExportadorCsv::TOpcoes &opcoes)
        : FOpcoes(opcoes),
          FDecimal(opcoes.separadorDoLocal ? opcoes.local.decimalPoint() : QStringLiteral(".")),
          FSeparador(FDecimal == QLatin1String(",") ? QChar(';') : QChar(','))
    {
    }
    QChar Separador() const { return FSeparador; }
    const TExportadorCsv::TOpcoes &Opcoes() const { return FOpcoes; }
    TLinha &Texto(const QString &t)
    {
        FCampos << TExportadorCsv::Campo(t, FSeparador);
        return *this;
    }
    TLinha &Numero(double v, int casas)
    {
        QString t = QString::number(v, 'f', casas);
        t.replace(QLatin1Char('.'), FDecimal);
        return Texto(t);
    }
    TLinha &Vazios(int n)
    {
        for (int i = 0; i < n; ++i)
            FCampos << QString();
        return *this;
    }
    QString Estado(int e) const
    {
        return FOpcoes.nomeEstado ? FOpcoes.nomeEstado(e) : QString::number(e);
    }
    QByteArray Fim()
    {
        const QByteArray linha = FCampos.join(FSeparador).toUtf8() + "\r\n";
        FCampos.clear();
        return linha;
    }

private:
    const TExportadorCsv::TOpcoes &FOpcoes;
    QString FDecimal;
    QChar FSeparador;
    QStringList FCampos;
};

void Amostra(TLinha &l, const TAmostraRegistro &a)
{
    l.Texto(QStringLiteral("amostra"))
        .Numero(a.tempoMs / 1000.0, 3)
        .Texto(l.Estado(a.estado))
        .Texto(TResumoSessao::NomeFase(a.fase))
        .Numero(a.estagio, 0)
        .Numero(a.velocidadeAlvo, 1)
        .Numero(a.inclinacaoAlvo, 1)
        .Numero(a.velocidadeConfirmada, 1)
        .Numero(a.inclinacaoConfirmada, 1)
        .Numero(a.linkOk ? 1 : 0, 0)
        .Vazios(6);
    // The heart rate of the second and its source; empty cells when there was none.
    a.frequenciaCardiaca > 0 ? l.Numero(a.frequenciaCardiaca, 0).Texto(a.fonteFc) : l.Vazios(2);
    if (l.Opcoes().mets)
        l.Numero(l.Opcoes().mets(a), 1);
}

// How many of an event's values (speed and grade; valor1, valor2) its kind has: the others are
// empty cells, not zeros nobody measured.
std::pair<bool, int> ValoresDoEvento(const QString &tipo)
{
    static const QStringList comAlvo = {QStringLiteral("estagio"), QStringLiteral("alvo"),
                                        QStringLiteral("limite")};
    if (tipo == QLatin1String("pa"))
        return {false, 2};
    if (tipo == QLatin1String("fc") || tipo == QLatin1String("borg"))
        return {false, 1};
    return {comAlvo.contains(tipo), 0};
}

void Evento(TLinha &l, const TEventoRegistro &e)
{
    const auto [alvo, valores] = ValoresDoEvento(e.tipo);
    l.Texto(QStringLiteral("evento"))
        .Numero(e.tempoMs / 1000.0, 3)
        .Texto(l.Estado(e.estado))
        .Texto(TResumoSessao::NomeFase(e.fase))
        .Numero(e.estagio, 0)
        .Vazios(5)
        .Texto(e.tipo);
    if (alvo)
        l.Numero(e.velocidade, 1).Numero(e.inclinacao, 1);
    else
        l.Vazios(2);
    valores >= 1 ? l.Numero(e.valor1, 0) : l.Vazios(1);
    valores >= 2 ? l.Numero(e.valor2, 0) : l.Vazios(1);
    l.Texto(e.texto).Vazios(l.Opcoes().mets ? 3 : 2);
}

}  // namespace

QString TExportadorCsv::Campo(const QString &texto, QChar separador)
{
    if (!texto.contains(separador) && !texto.contains(QLatin1Char('"')) &&
        !texto.contains(QLatin1Char('\n')) && !texto.contains(QLatin1Char('\r')))
        return texto;
    QString campo = texto;
    campo.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + campo + QLatin1Char('"');
}

QByteArray TExportadorCsv::Texto(const QList<TAmostraRegistro> &amostras,
                                 const QList<TEventoRegistro> &eventos, const TOpcoes &opcoes)
{
    TLinha l(opcoes);
    for (const char *c : {"registro", "tempo_s", "estado", "fase", "estagio", "velocidade_alvo_kmh",
                          "inclinacao_alvo_pct", "velocidade_confirmada_kmh",
                          "inclinacao_confirmada_pct", "link_ok", "evento", "velocidade_kmh",
                          "inclinacao_pct", "valor1", "valor2", "texto", "fc_bpm", "fonte_fc"})
        l.Texto(QString::fromLatin1(c));
    if (opcoes.mets)
        l.Texto(QStringLiteral("mets"));
    QByteArray csv = l.Fim();
    qsizetype a = 0, e = 0;
    while (a < amostras.size() || e < eventos.size()) {
        if (e == eventos.size() ||
            (a < amostras.size() && amostras.at(a).tempoMs <= eventos.at(e).tempoMs))
            Amostra(l, amostras.at(a++));
        else
            Evento(l, eventos.at(e++));
        csv += l.Fim();
    }
    return csv;
}

bool TExportadorCsv::Exportar(const TBancoSessoes &banco, qint64 sessaoId, const QString &caminho,
                              const TOpcoes &opcoes, QString *erro)
{
    QSaveFile arquivo(caminho);
    if (!arquivo.open(QIODevice::WriteOnly) ||
        arquivo.write(Texto(banco.LerAmostras(sessaoId), banco.LerEventos(sessaoId), opcoes)) < 0 ||
        !arquivo.commit()) {
        *erro = QCoreApplication::translate("TExportadorCsv", "Não foi possível gravar %1: %2")
                    .arg(caminho, arquivo.errorString());
        return false;
    }
    return true;
}
