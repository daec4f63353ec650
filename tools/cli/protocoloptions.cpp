#include "tools/cli/protocoloptions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>
#include <cstdio>

#include "protocol/bibliotecaprotocolos.h"
#include "protocol/faixaesteira.h"
#include "protocol/geradorrampa.h"

namespace protocolcli {

namespace {

double Require(const QCommandLineParser &parser, const char *name)
{
    const auto value = ParseNumber(parser.value(QLatin1String(name)));
    if (!value)
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "--%1: não é um número: \"%2\"")
                .arg(QLatin1String(name), parser.value(QLatin1String(name))));
    return *value;
}

std::optional<double> Optional(const QCommandLineParser &parser, const char *name)
{
    if (!parser.isSet(QLatin1String(name)))
        return std::nullopt;
    return Require(parser, name);
}

TProtocolo Ramp(const QCommandLineParser &parser, const TUnidadeVelocidade &unidade)
{
    for (const char *name : {"start-speed", "peak-speed", "peak-grade"})
        if (!parser.isSet(QLatin1String(name)))
            throw TUsageError(
                QCoreApplication::translate("orvanta-ctl",
                                            "ramp precisa de --start-speed, --peak-speed e "
                                            "--peak-grade (e aceita --start-grade, --duration)"));
    TParametrosRampa ramp;
    ramp.velocidadeInicial = unidade.Kmh(Require(parser, "start-speed"));
    ramp.inclinacaoInicial = Optional(parser, "start-grade").value_or(0.0);
    ramp.velocidadePico = unidade.Kmh(Require(parser, "peak-speed"));
    // The generator says its speed range in km/h; in mph the range is said here, in mph.
    for (const double kmh : {ramp.velocidadeInicial, ramp.velocidadePico})
        if (unidade.Mph() &&
            (kmh < TFaixaEsteira::kVelocidadeMinima || kmh > TFaixaEsteira::kVelocidadeMaxima))
            throw TUsageError(QCoreApplication::translate(
                                  "orvanta-ctl", "ramp: as velocidades devem estar entre %1 e %2")
                                  .arg(unidade.Numero(TFaixaEsteira::kVelocidadeMinima),
                                       unidade.Texto(TFaixaEsteira::kVelocidadeMaxima)));
    ramp.inclinacaoPico = Require(parser, "peak-grade");
    ramp.duracaoMs = std::llround(Optional(parser, "duration").value_or(10.0) * 60000.0);
    QString error;
    TProtocolo protocolo = TGeradorRampa::Gerar(ramp, &error);
    if (!error.isEmpty())
        throw TUsageError(QStringLiteral("ramp: ") + error);
    return protocolo;
}

TProtocolo Find(const QString &name, QStringList *refused)
{
    // A path to a file works as well as a name from the library.
    if (name.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) || name.contains('/')) {
        QString error;
        const auto protocolo = TBibliotecaProtocolos::LerArquivo(name, &error);
        if (!protocolo)
            throw TUsageError(error);
        return *protocolo;
    }
    const TBibliotecaProtocolos library;
    *refused = library.Erros();
    const auto protocolo = library.Procurar(name);
    if (!protocolo)
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl",
                                        "protocolo desconhecido: %1 (veja orvanta-ctl protocols)")
                .arg(name));
    return *protocolo;
}

}  // namespace

TProtocolOptions TProtocolOptions::Parse(const QString &command, const QStringList &words)
{
    QCommandLineParser parser;
    parser.addOptions({{"mph", "Speeds in miles per hour (the CSV stays in km/h)."},
                       {"max-speed", "Test's speed limit.", "KMH"},
                       {"max-grade", "Test's grade limit.", "PCT"},
                       {"recovery", "Recovery length.", "MIN"},
                       {"accept-clamp", "Clamp values beyond the board's range."},
                       {"time-scale", "Protocol clock speed-up.", "X"},
                       {"csv", "Write samples and events here.", "FILE"},
                       {"hr-file", "Heart-rate trace to replay.", "FILE"},
                       {"start-speed", "Ramp start speed.", "KMH"},
                       {"start-grade", "Ramp start grade.", "PCT"},
                       {"peak-speed", "Ramp peak speed.", "KMH"},
                       {"peak-grade", "Ramp peak grade.", "PCT"},
                       {"duration", "Ramp length (8 to 12).", "MIN"}});
    parser.addOptions(TRecordOptions::Options());
    if (!parser.parse(QStringList{command} + words))
        throw TUsageError(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        throw TUsageError(
            QCoreApplication::translate(
                "orvanta-ctl", "%1 recebe um nome de protocolo (veja orvanta-ctl protocols)")
                .arg(command));
    const QString name = parser.positionalArguments().first();
    TProtocolOptions options;
    if (parser.isSet("mph"))
        options.unidade = TUnidadeVelocidade(TUnidadeVelocidade::TUnidade::Mph);
    const bool ramp = name == QLatin1String("ramp") || name == QLatin1String("rampa");
    options.protocolo = ramp ? Ramp(parser, options.unidade) : Find(name, &options.refusedFiles);
    options.maxSpeed = Optional(parser, "max-speed");
    if (options.maxSpeed)
        options.maxSpeed = options.unidade.Kmh(*options.maxSpeed);
    options.maxGrade = Optional(parser, "max-grade");
    options.recoveryMinutes = Optional(parser, "recovery");
    options.timeScale = Optional(parser, "time-scale");
    options.acceptClamp = parser.isSet("accept-clamp");
    options.csvPath = parser.value("csv");
    options.hrFilePath = parser.value("hr-file");
    options.record = TRecordOptions::Parse(parser);
    // A limit below the lowest moving speed cannot be kept by a moving belt.
    if (options.maxSpeed && !TFaixaEsteira::LimiteDeVelocidadeValido(*options.maxSpeed))
        throw TUsageError(QCoreApplication::translate("orvanta-ctl",
                                                      "--max-speed deve ser pelo menos %1 (a "
                                                      "menor velocidade da esteira em movimento)")
                              .arg(options.unidade.Texto(TFaixaEsteira::kVelocidadeMinima)));
    if (options.maxGrade && *options.maxGrade < 0)
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "--max-grade deve ser pelo menos 0"));
    if (options.recoveryMinutes && (*options.recoveryMinutes < 0 || *options.recoveryMinutes > 60))
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "--recovery deve ser de 0 a 60 minutos"));
    if (options.timeScale && !(*options.timeScale > 0 && *options.timeScale <= 10000))
        throw TUsageError(QCoreApplication::translate(
            "orvanta-ctl", "--time-scale deve ser maior que 0 e no máximo 10000"));
    return options;
}

std::optional<double> ParseNumber(QString text)
{
    bool ok = false;
    const double value = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void PrintError(const QString &text)
{
    std::fprintf(stderr, "orvanta-ctl: %s\n", qUtf8Printable(text));
}

QString OneLine(QString text)
{
    return text.replace(QStringLiteral("\n\n"), QStringLiteral(" "))
        .replace(QLatin1Char('\n'), QLatin1String("; "));
}

void PrintLine(const QString &text)
{
    std::printf("%s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

QString FormatTime(qint64 ms)
{
    const qint64 s = ms / 1000;
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600)
            .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2")
        .arg(s / 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace protocolcli
