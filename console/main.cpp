// The orvanta-teste program: the exercise-test console, optionally driving a simulated board.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "components/editimp.h"
#include "console/fconsole.h"
#include "console/fsessoes.h"
#include "console/painelpaciente.h"
#include "console/painelprotocolo.h"
#include "console/preferencias.h"
#include "heartrate/tracocardiaco.h"
#include "platform/exception.h"
#include "platform/idioma.h"
#include "platform/messagebox.h"
#include "platform/trace.h"
#include "session/bancosessoes.h"
#ifdef KESTROVA_HAVE_BOARDSIM
#include "tools/boardsim/simulatedboards.h"
#endif

namespace {

// --start: a demonstration patient and the named protocol, started at once.
void IniciarDemonstracao(TfrmConsole &janela, const QString &protocolo)
{
    TPaciente p;
    p.nome = QStringLiteral("Paciente de demonstração");
    p.identificador = QStringLiteral("DEMO-001");
    p.nascimento = QStringLiteral("12/03/1971");
    p.sexo = QStringLiteral("F");
    p.peso = QStringLiteral("64");
    p.altura = QStringLiteral("168");
    p.medico = QStringLiteral("Dra. Ana Souza");
    janela.PainelPaciente()->AjustarPaciente(p);
    if (!janela.PainelProtocolo()->Selecionar(protocolo))
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(
                         QCoreApplication::translate("orvanta-teste", "protocolo desconhecido: %1")
                             .arg(protocolo)));
    janela.IniciarTeste();
}

// Types a value into an entry field and registers it, as the operator would.
void Registrar(TfrmConsole &janela, const QList<std::pair<const char *, const char *>> &campos,
               const char *botao)
{
    for (const auto &[campo, valor] : campos)
        if (auto *edit = janela.findChild<QLineEdit *>(QString::fromLatin1(campo)))
            edit->setText(QString::fromLatin1(valor));
    if (auto *b = janela.findChild<QAbstractButton *>(QString::fromLatin1(botao)))
        b->click();
}

void Salvar(TfrmConsole &janela, const QString &arquivo)
{
    const bool salvo = janela.grab().save(arquivo);
    std::fprintf(stderr, "%s %s\n", salvo ? "saved" : "could not save", qPrintable(arquivo));
    QCoreApplication::exit(salvo ? 0 : 1);
}

// --screenshot: after 8 s of the running test, with two heart-rate entries on the way, save the
// window and quit.
void AgendarCaptura(TfrmConsole &janela, const QString &arquivo)
{
    for (auto [s, fc] : {std::pair{3, "92"}, std::pair{6, "97"}})
        // An init-capture: clang 14 cannot capture a structured binding.
        QTimer::singleShot(s * 1000, &janela, [&janela, fc = fc] {
            Registrar(janela, {{"edtFc", fc}}, "btnRegistrarFc");
        });
    QTimer::singleShot(8000, &janela, [&janela, arquivo] { Salvar(janela, arquivo); });
}

// --screenshot-sessions: the sessions browser as "Arquivo > Sessões..." opens it, saved, and quit.
void AgendarCapturaDasSessoes(TfrmConsole &janela, const QString &arquivo)
{
    QTimer::singleShot(1000, &janela, [&janela] {
        if (auto *sessoes = janela.findChild<QAction *>(QStringLiteral("actSessoes")))
            sessoes->trigger();
    });
    QTimer::singleShot(3000, &janela, [&janela, arquivo] {
        QWidget *sessoes = janela.findChild<TfrmSessoes *>();
        const bool salvo = sessoes && sessoes->grab().save(arquivo);
        std::fprintf(stderr, "%s %s\n", salvo ? "saved" : "could not save", qPrintable(arquivo));
        QCoreApplication::exit(salvo ? 0 : 1);
    });
}

// --screenshot-recovery: PARAR after 4 s, the reason given, then the recovery readings taken
// after the stop; the window saved with them.
void AgendarCapturaDaRecuperacao(TfrmConsole &janela, const QString &arquivo)
{
    QTimer::singleShot(4000, &janela, [&janela] {
        if (auto *parar = janela.findChild<QAbstractButton *>(QStringLiteral("btnParar")))
            parar->click();
    });
    QTimer::singleShot(5000, &janela, [&janela] {
        if (auto *motivo = janela.findChild<QInputDialog *>(QStringLiteral("dlgMotivo"))) {
            motivo->setTextValue(QStringLiteral("Fadiga"));
            motivo->accept();
        }
        Registrar(janela, {{"edtFc", "118"}}, "btnRegistrarFc");
        Registrar(janela, {{"edtSistolica", "150"}, {"edtDiastolica", "84"}}, "btnRegistrarPa");
    });
    QTimer::singleShot(7000, &janela, [&janela] {
        Registrar(janela, {{"edtFc", "104"}, {"edtBorg", "11"}}, "btnRegistrarFc");
        Registrar(janela, {}, "btnRegistrarBorg");
    });
    QTimer::singleShot(9000, &janela, [&janela, arquivo] { Salvar(janela, arquivo); });
}

// The command line; parsed once the names are set, so the help text carries them.
struct TOpcoes {
    QCommandLineParser parser;
    QCommandLineOption simular{
        QStringLiteral("simulate"),
        QCoreApplication::translate(
            "orvanta-teste",
            "Comanda uma placa simulada (iniciada na porta escolhida para o teste).")};
    QCommandLineOption rastrear{
        QStringLiteral("trace"),
        QCoreApplication::translate("orvanta-teste", "Registra cada quadro enviado e recebido.")};
    QCommandLineOption banco{
        QStringLiteral("database"),
        QCoreApplication::translate(
            "orvanta-teste",
            "Banco de sessões: um arquivo, ou o servidor PostgreSQL de um laboratório como "
            "postgresql://usuario@servidor:porta/banco (senha do ~/.pgpass ou de PGPASSWORD). "
            "Lembrado; na primeira vez: %1.")
            .arg(TBancoSessoes::CaminhoPadrao()),
        QStringLiteral("file|url")};
    QCommandLineOption estacao{
        QStringLiteral("station"),
        QCoreApplication::translate("orvanta-teste",
                                    "O nome desta estação num banco compartilhado. Lembrado; na "
                                    "primeira vez: o nome do computador."),
        QStringLiteral("name")};
    QCommandLineOption escala{
        QStringLiteral("time-scale"),
        QCoreApplication::translate(
            "orvanta-teste",
            "Faz o relógio do protocolo correr X vezes mais rápido (só com a placa simulada)."),
        QStringLiteral("X"), QStringLiteral("1")};
    QCommandLineOption traco{
        QStringLiteral("hr-file"),
        QCoreApplication::translate("orvanta-teste",
                                    "Reproduz em cada teste um traçado de frequência cardíaca "
                                    "gravado (CSV tempo_s,fc[,rr_ms])."),
        QStringLiteral("file")};
    QCommandLineOption iniciar{
        QStringLiteral("start"),
        QCoreApplication::translate("orvanta-teste",
                                    "Inicia um teste de demonstração com este protocolo."),
        QStringLiteral("protocol")};
    QCommandLineOption capturar{QStringLiteral("screenshot"),
                                QStringLiteral("Save the window after some seconds and quit."),
                                QStringLiteral("png")};
    QCommandLineOption capturarSessoes{
        QStringLiteral("screenshot-sessions"),
        QStringLiteral("Open the sessions browser, save it and quit."), QStringLiteral("png")};
    QCommandLineOption capturarRecuperacao{
        QStringLiteral("screenshot-recovery"),
        QStringLiteral("Stop, take recovery readings, save the window and quit."),
        QStringLiteral("png")};

    TOpcoes()
    {
        parser.setApplicationDescription(QCoreApplication::translate(
            "orvanta-teste", "Console de teste de esforço na esteira Orvanta Kestrova."));
        parser.addHelpOption();
        capturar.setFlags(QCommandLineOption::HiddenFromHelp);
        capturarRecuperacao.setFlags(QCommandLineOption::HiddenFromHelp);
        capturarSessoes.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions({simular, rastrear, banco, estacao, escala, traco, iniciar, capturar,
                           capturarRecuperacao, capturarSessoes, OpcaoIdioma()});
    }
};

// On the simulated board a simulated strap follows the belt; --hr-file replays a trace.
void OferecerDemonstracao(TfrmConsole &janela, const TOpcoes &todas, bool simulado)
{
    std::optional<TTracoCardiaco> traco;
    const QString arquivo = todas.parser.value(todas.traco);
    if (todas.parser.isSet(todas.traco)) {
        QString erro;
        traco = TTracoCardiaco::Abrir(arquivo, &erro);
        if (!traco)
            throw Exception(QStringLiteral("--hr-file: %1").arg(erro));
    }
    if (simulado || traco)
        janela.OferecerDemonstracao(simulado, traco, QFileInfo(arquivo).fileName());
}

void NomearPrograma()
{
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-teste"));
    // The window titles add it after their own ("Teste de esforço — KESTROVA").
    QGuiApplication::setApplicationDisplayName(QStringLiteral("KESTROVA"));
}

// --help prints and quits before a display is needed (a QApplication aborts without one).
bool SoAjuda(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char *opcao : {"-h", "--help", "-?", "--help-all"})
            if (std::strcmp(argv[i], opcao) == 0)
                return true;
    return false;
}

void Executar(QApplication &app)
{
    NomearPrograma();
    QGuiApplication::setDesktopFileName(QStringLiteral("orvanta-teste"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("orvanta-teste")));
    // --lang, else the window's Idioma menu, else the system's locale; before any text is made.
    PrepararIdioma(app, IdiomaPreferidoConsole());
    TOpcoes todas;
    QCommandLineParser &opcoes = todas.parser;
    const QCommandLineOption &simular = todas.simular, &rastrear = todas.rastrear,
                             &banco = todas.banco, &escala = todas.escala, &iniciar = todas.iniciar,
                             &capturar = todas.capturar;
    opcoes.process(app);
    if (opcoes.isSet(rastrear))
        EnableTrace(true);

    TBancoSessoes sessoes;
    QString erro;
    // The database and the station last given are kept for the next start.
    QSettings preferencias = PreferenciasConsole();
    const QString caminho =
        opcoes.isSet(banco)
            ? opcoes.value(banco)
            : preferencias.value(QStringLiteral("banco/endereco"), TBancoSessoes::CaminhoPadrao())
                  .toString();
    sessoes.AjustarEstacao(opcoes.isSet(todas.estacao)
                               ? opcoes.value(todas.estacao)
                               : preferencias.value(QStringLiteral("banco/estacao")).toString());
    const bool aberto = sessoes.Abrir(caminho, &erro);
    if (opcoes.isSet(banco) && aberto)
        preferencias.setValue(QStringLiteral("banco/endereco"), sessoes.Caminho());
    if (opcoes.isSet(todas.estacao) && aberto)
        preferencias.setValue(QStringLiteral("banco/estacao"), sessoes.Estacao());
#ifdef KESTROVA_HAVE_BOARDSIM
    TSimulatedBoards simulados;  // outlives the window, whose port may be open on a board
#else
    if (opcoes.isSet(simular))
        throw Exception(QCoreApplication::translate(
            "orvanta-teste", "O simulador da esteira não existe nesta plataforma."));
#endif
    TfrmConsole janela(&sessoes);
#ifdef KESTROVA_HAVE_BOARDSIM
    if (opcoes.isSet(simular))
        janela.OnAntesDeConectar = [&simulados](int porta) { simulados.PrepararPorta(porta); };
#endif
    bool ok = false;
    const double x = opcoes.value(escala).toDouble(&ok);
    if (!ok || !(x > 0) || x > 1000)
        throw Exception(QCoreApplication::translate("orvanta-teste",
                                                    "--time-scale: um número entre 0 e 1000."));
    if (x != 1 && !opcoes.isSet(simular))
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(QCoreApplication::translate(
                         "orvanta-teste", "aviso: --time-scale numa esteira real")));
    janela.AjustarEscalaTempo(x);
    OferecerDemonstracao(janela, todas, opcoes.isSet(simular));
    janela.resize(1280, 860);
    janela.show();
    if (!aberto)
        ShowErrorMessage(erro);
    if (aberto && !sessoes.AvisoArquivoPendente().isEmpty())
        ShowErrorMessage(sessoes.AvisoArquivoPendente());
    if (aberto && sessoes.Recuperadas() > 0)  // a notice, not an error: nothing is lost
        QMessageBox::information(
            &janela, janela.windowTitle(),
            QCoreApplication::translate("orvanta-teste",
                                        "%1 teste(s) interrompido(s) foram encontrados "
                                        "e marcados como interrompidos.")
                .arg(sessoes.Recuperadas()));
    if (opcoes.isSet(iniciar))
        IniciarDemonstracao(janela, opcoes.value(iniciar));
    if (opcoes.isSet(capturar))
        AgendarCaptura(janela, opcoes.value(capturar));
    if (opcoes.isSet(todas.capturarSessoes))
        AgendarCapturaDasSessoes(janela, opcoes.value(todas.capturarSessoes));
    if (opcoes.isSet(todas.capturarRecuperacao))
        AgendarCapturaDaRecuperacao(janela, opcoes.value(todas.capturarRecuperacao));
    QApplication::exec();
}

}  // namespace

int main(int argc, char **argv)
{
    if (SoAjuda(argc, argv)) {
        QCoreApplication texto(argc, argv);
        NomearPrograma();
        PrepararIdioma(texto, IdiomaPreferidoConsole());
        TOpcoes().parser.process(texto);  // prints the help and exits
    }
    QApplication app(argc, argv);
    RunShowingExceptions([&app] { Executar(app); });
    return 0;
}
