#include "tools/cli/protocolcommands.h"

#include <QCoreApplication>

#include <algorithm>

#include "clinical/equacoesmetabolicas.h"
#include "device/orvanta.h"
#include "protocol/bibliotecaprotocolos.h"
#include "protocol/faixaesteira.h"
#include "tools/cli/protocoloptions.h"
#include "tools/cli/protocolrun.h"

namespace protocolcli {

namespace {

QString Number(double value)
{
    return QString::number(value, 'f', 1);
}

// What `run` sends: the runner clamps with the same functions.
double BoardSpeed(double kmh, const TProtocolOptions &options)
{
    return TFaixaEsteira::VelocidadeEnviada(
        kmh, options.maxSpeed.value_or(TFaixaEsteira::kVelocidadeMaxima));
}

double BoardGrade(double pct, const TProtocolOptions &options)
{
    return TFaixaEsteira::InclinacaoEnviada(
        pct, options.maxGrade.value_or(TFaixaEsteira::kInclinacaoMaxima));
}

QString Range(const QString &from, const QString &to)
{
    return from == to ? from : from + QStringLiteral("->") + to;
}

QString Range(double from, double to)
{
    return Range(Number(from), Number(to));
}

// ACSM's METs of what the board receives at a step's start and end.
QString Mets(const TPasso &p, const TProtocolOptions &o)
{
    auto mets = [&](double kmh, double pct) {
        return TEquacoesMetabolicas::Mets(BoardSpeed(kmh, o), BoardGrade(pct, o));
    };
    return Range(mets(p.velocidadeInicial, p.inclinacaoInicial),
                 mets(p.velocidadeFinal, p.inclinacaoFinal));
}

QString Codes(const TPasso &p, const TProtocolOptions &o)
{
    auto q = [&](double v) { return int(TOrvanta::ConverterVelocidade(BoardSpeed(v, o))); };
    auto r = [&](double g) { return int(TOrvanta::ConverterInclinacao(float(BoardGrade(g, o)))); };
    auto span = [](int a, int b) {
        return a == b ? QString::number(a) : QStringLiteral("%1->%2").arg(a).arg(b);
    };
    return QStringLiteral("Q %1, R %2")
        .arg(span(q(p.velocidadeInicial), q(p.velocidadeFinal)),
             span(r(p.inclinacaoInicial), r(p.inclinacaoFinal)));
}

int List()
{
    const TBibliotecaProtocolos library;
    PrintLine(QStringLiteral("%1  %2  %3  %4")
                  .arg(QStringLiteral("NOME"), -18)
                  .arg(QStringLiteral("DURAÇÃO"), -7)
                  .arg(QStringLiteral("ORIGEM"), -8)
                  .arg(QStringLiteral("DESCRIÇÃO")));
    for (const TProtocolo &p : library.Protocolos())
        PrintLine(QStringLiteral("%1  %2  %3  %4: %5")
                      .arg(p.id, -18)
                      .arg(FormatTime(p.DuracaoTotalMs()), -7)
                      .arg(p.embutido ? QStringLiteral("embutido") : QStringLiteral("usuário"), -8)
                      .arg(p.nome, p.descricao));
    PrintLine(QStringLiteral("%1  %2  %3  %4")
                  .arg(QStringLiteral("ramp"), -18)
                  .arg(QStringLiteral("8-12 min"), -7)
                  .arg(QStringLiteral("gerador"), -8)
                  .arg(QStringLiteral("Rampa individualizada (--start-speed, --peak-speed, "
                                      "--peak-grade, ...)")));
    PrintLine(QCoreApplication::translate("orvanta-ctl", "Pasta dos protocolos do usuário: %1")
                  .arg(library.PastaUsuario()));
    for (const QString &error : library.Erros())
        PrintError(QCoreApplication::translate("orvanta-ctl", "arquivo recusado: %1").arg(error));
    return kOk;
}

int Show(const TProtocolOptions &options)
{
    TProtocolo p = options.protocolo;
    if (options.recoveryMinutes)
        p.TrocarRecuperacao(qint64(*options.recoveryMinutes * 60000), 2.5, 0);
    PrintLine(QStringLiteral("%1 (%2): %3")
                  .arg(p.nome, p.id, options.unidade.TextoNaUnidade(p.descricao)));
    if (!p.fonte.isEmpty())
        PrintLine(QCoreApplication::translate("orvanta-ctl", "Fonte: %1").arg(p.fonte));
    // The board's speeds; in mph converted back, in a column wide enough for "10.07->11.18".
    const TUnidadeVelocidade &u = options.unidade;
    const int speedWidth = u.Mph() ? 12 : 10;
    PrintLine(QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
                  .arg(QStringLiteral("EST"), 3)
                  .arg(QStringLiteral("FASE"), -12)
                  .arg(QStringLiteral("INÍCIO"), 7)
                  .arg(QStringLiteral("DURAÇÃO"), 7)
                  .arg(u.Simbolo().toUpper(), speedWidth)
                  .arg(QStringLiteral("%"), 10)
                  .arg(QStringLiteral("METS"), 10)
                  .arg(QStringLiteral("PLACA")));
    for (const TEtapaProtocolo &e : p.Etapas()) {
        const TPasso &s = e.passo;
        PrintLine(QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
                      .arg(e.estagio, 3)
                      .arg(NomeFase(e.fase), -12)
                      .arg(FormatTime(e.inicioMs), 7)
                      .arg(FormatTime(s.duracaoMs), 7)
                      .arg(Range(u.Numero(BoardSpeed(s.velocidadeInicial, options)),
                                 u.Numero(BoardSpeed(s.velocidadeFinal, options))),
                           speedWidth)
                      .arg(Range(BoardGrade(s.inclinacaoInicial, options),
                                 BoardGrade(s.inclinacaoFinal, options)),
                           10)
                      .arg(Mets(s, options), 10)
                      .arg(Codes(s, options)));
    }
    PrintLine(QCoreApplication::translate("orvanta-ctl", "Duração total: %1")
                  .arg(FormatTime(p.DuracaoTotalMs())));
    for (const QString &line : TFaixaEsteira::Limitacoes(p, u))
        PrintLine(
            QCoreApplication::translate("orvanta-ctl", "Fora da faixa da esteira: %1").arg(line));
    return kOk;
}

}  // namespace

bool IsProtocolCommand(const QString &command)
{
    return command == QLatin1String("protocols") || command == QLatin1String("show") ||
           command == QLatin1String("run");
}

int RunProtocolCommand(const QStringList &words, int port, const QString &device)
{
    try {
        const QString command = words.value(0);
        if (command == QLatin1String("protocols")) {
            if (words.size() != 1)
                throw TUsageError(
                    QCoreApplication::translate("orvanta-ctl", "%1 não recebe argumentos")
                        .arg(command));
            return List();
        }
        const TProtocolOptions options = TProtocolOptions::Parse(command, words.mid(1));
        for (const QString &error : options.refusedFiles)
            PrintError(
                QCoreApplication::translate("orvanta-ctl", "arquivo recusado: %1").arg(error));
        if (command == QLatin1String("show"))
            return Show(options);
        return TProtocolRun(options, port, device).Exec();
    } catch (const TUsageError &error) {
        PrintError(error.Message());
        return kUsage;
    }
}

}  // namespace protocolcli
