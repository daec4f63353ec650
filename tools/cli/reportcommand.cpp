#include "tools/cli/reportcommand.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>
#include <cstring>

#include "chart/vtxgraph.h"
#include "clinical/avaliacaoclinica.h"
#include "clinical/jsonclinico.h"
#include "clinical/relatorioclinico.h"
#include "platform/exception.h"
#include "platform/printer.h"
#include "platform/trace.h"
#include "protocol/unidadevelocidade.h"
#include "session/bancosessoes.h"
#include "session/enderecobanco.h"
#include "session/graficosessao.h"
#include "session/relatoriosessao.h"
#include "tools/cli/protocoloptions.h"

namespace reportcli {

namespace {

using protocolcli::PrintError;
using protocolcli::PrintLine;
using protocolcli::TUsageError;

enum TExitCode { kOk = 0, kFailure = 1, kUsage = 2 };

QtMessageHandler gQtHandler = nullptr;

// Warnings while the platform starts (no XDG_RUNTIME_DIR on a server) are no failure of the
// report.
void StartupToTrace(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg || type == QtDebugMsg || type == QtInfoMsg)
        Trace(QStringLiteral("Qt: ") + message);
    else
        gQtHandler(type, context, message);
}

// A failure of the command (not of its arguments): one line on standard error, status 1.
class TReportError : public Exception {
public:
    using Exception::Exception;
};

struct TReportOptions {
    QString databasePath;
    std::optional<qint64> sessionId;
    bool json = false;
    QString pdfPath;
    bool mph = false;  // the printed report's speeds; the JSON stays in km/h
};

TReportOptions Parse(const QStringList &words)
{
    QCommandLineParser parser;
    parser.addOptions({{"database", "Session database: a file or postgresql://...", "FILE|URL"},
                       {"session", "Session number (default: the latest).", "ID"},
                       {"json", "Print the clinical results as JSON."},
                       {"pdf", "Write the printed report here.", "FILE"},
                       {"mph", "The printed report's speeds in mph (the JSON stays in km/h)."}});
    if (!parser.parse(words))
        throw TUsageError(QStringLiteral("report: ") + parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "%1: argumento inesperado \"%2\"")
                .arg(QStringLiteral("report"), parser.positionalArguments().first()));
    TReportOptions options;
    options.databasePath = parser.value("database");
    options.json = parser.isSet("json");
    options.pdfPath = parser.value("pdf");
    options.mph = parser.isSet("mph");
    if (options.databasePath.isEmpty())
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "report precisa de --database FILE|URL"));
    if (!options.json && options.pdfPath.isEmpty())
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "report precisa de --json ou --pdf FILE"));
    if (parser.isSet("session")) {
        bool ok = false;
        const qint64 id = parser.value("session").toLongLong(&ok);
        if (!ok || id < 1)
            throw TUsageError(QCoreApplication::translate(
                                  "orvanta-ctl", "--session: não é um número de sessão: \"%1\"")
                                  .arg(parser.value("session")));
        options.sessionId = id;
    }
    return options;
}

// Read before TBancoSessoes::Abrir, which would give any other SQLite file the schema.
bool IsSessionDatabase(const QString &path)
{
    const QString connection = QStringLiteral("orvanta-ctl-verificacao");
    bool found = false;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setDatabaseName(path);
        if (database.open()) {
            QSqlQuery q(database);
            found = q.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                          "name = 'sessoes'")) &&
                    q.next();
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return found;
}

void Open(TBancoSessoes &database, const QString &path)
{
    QString error;
    const std::optional<TEnderecoBanco> address = TEnderecoBanco::Ler(path, &error);
    if (!address)
        throw TReportError(QStringLiteral("--database: ") + error);
    // A report only reads: another program may be recording at this station meanwhile.
    database.AjustarEstacao(TBancoSessoes::EstacaoPadrao() + QStringLiteral(" (orvanta-ctl)"));
    if (address->Servidor()) {
        if (!database.Abrir(path, &error))
            throw TReportError(protocolcli::OneLine(error));
        return;
    }
    if (!QFileInfo(path).isFile())
        throw TReportError(
            QCoreApplication::translate("orvanta-ctl", "%1: arquivo não encontrado").arg(path));
    if (!IsSessionDatabase(path))
        throw TReportError(
            QCoreApplication::translate("orvanta-ctl", "%1: não é um banco de sessões").arg(path));
    if (!database.Abrir(path, &error))
        throw TReportError(protocolcli::OneLine(error));
}

qint64 Session(const TBancoSessoes &database, const TReportOptions &options)
{
    if (options.sessionId) {
        if (!database.LerSessao(*options.sessionId))
            throw TReportError(
                QCoreApplication::translate("orvanta-ctl", "sessão %1 não encontrada em %2")
                    .arg(*options.sessionId)
                    .arg(options.databasePath));
        return *options.sessionId;
    }
    QSqlQuery q(database.Conexao());
    if (!q.exec(QStringLiteral("SELECT MAX(id) FROM sessoes")) || !q.next() || q.value(0).isNull())
        throw TReportError(QCoreApplication::translate("orvanta-ctl", "nenhuma sessão em %1")
                               .arg(options.databasePath));
    return q.value(0).toLongLong();
}

void PrintJson(const TBancoSessoes &database, qint64 id)
{
    const TSessao sessao = *database.LerSessao(id);
    const TResultadosClinicos results = TAvaliacaoClinica::Calcular(
        sessao, database.LerPaciente(sessao.pacienteId).value_or(TPaciente{}),
        database.LerAmostras(id), database.LerEventos(id));
    const QByteArray text = QJsonDocument(TJsonClinico::Converter(results)).toJson();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

// As orvanta-teste prints it: the belt chart redrawn from the record, then the report with the
// clinical results.
void WritePdf(const TBancoSessoes &database, qint64 id, const QString &path,
              const TUnidadeVelocidade &unit)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw TReportError(QCoreApplication::translate(
            "orvanta-ctl", "--pdf: o relatório precisa de uma QApplication"));
    try {
        const TEscalaVelocidade scale{unit.Simbolo(), unit.DeKmh(1), unit.Casas()};
        TvtxGraph chart;
        TGraficoSessao(chart, scale).Redesenhar(database.LerAmostras(id), database.LerEventos(id));
        Printer()->SetPdfOutput(QFileInfo(path).absoluteFilePath());
        TRelatorioSessao::TDados data = TRelatorioClinico::Carregar(database, id);
        data.velocidade = scale;
        TRelatorioSessao::Imprimir(data, chart);
    } catch (const Exception &error) {
        throw TReportError(QCoreApplication::translate(
                               "orvanta-ctl", "%1: não foi possível gravar o relatório: %2")
                               .arg(path, protocolcli::OneLine(error.Message())));
    }
}

int Run(const QStringList &words)
{
    const TReportOptions options = Parse(words);
    TBancoSessoes database(QStringLiteral("orvanta-ctl-relatorio"));
    Open(database, options.databasePath);
    const qint64 id = Session(database, options);
    if (options.json)
        PrintJson(database, id);
    if (!options.pdfPath.isEmpty()) {
        WritePdf(database, id, options.pdfPath,
                 TUnidadeVelocidade(options.mph ? TUnidadeVelocidade::TUnidade::Mph
                                                : TUnidadeVelocidade::TUnidade::Kmh));
        if (!options.json)  // standard output then holds the JSON only
            PrintLine(QCoreApplication::translate("orvanta-ctl", "Relatório do teste %1: %2")
                          .arg(id)
                          .arg(options.pdfPath));
    }
    return kOk;
}

}  // namespace

std::optional<int> RunReportCommand(const QStringList &words)
{
    if (words.value(0) != QLatin1String("report"))
        return std::nullopt;
    try {
        return Run(words);
    } catch (const TUsageError &error) {
        PrintError(error.Message());
        return kUsage;
    } catch (const TReportError &error) {
        PrintError(error.Message());
        return kFailure;
    }
}

std::unique_ptr<QCoreApplication> CreateApplication(char *argv[])
{
    static int argc = 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    gQtHandler = qInstallMessageHandler(StartupToTrace);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(gQtHandler);
    return app;
}

bool IsReportCommand(int argc, char *argv[])
{
    // The first word that is neither a global option nor its value.
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (!std::strcmp(arg, "--port") || !std::strcmp(arg, "--device") ||
            !std::strcmp(arg, "--calibration-timeout"))
            ++i;
        else if (arg[0] != '-')
            return !std::strcmp(arg, "report");
    }
    return false;
}

}  // namespace reportcli
