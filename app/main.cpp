// The orvanta program: the treadmill controller window, optionally driving a simulated board.

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>
#include <cstdio>

#include "app/fcontrolaorvanta.h"
#include "platform/exception.h"
#include "platform/idioma.h"
#include "platform/messagebox.h"
#include "platform/trace.h"
#ifdef KESTROVA_HAVE_BOARDSIM
#include "tools/boardsim/simulatedboards.h"
#endif

namespace {

// --screenshot: connect, raise the speed, wait for the first good poll, save the window, quit.
void AgendarCaptura(TfrmControlaOrvanta &janela, const QString &arquivo)
{
    QTimer::singleShot(300, &janela, [&janela, arquivo] {
        janela.findChild<QAbstractButton *>(QStringLiteral("btnOnline"))->click();
        auto *aumentar =
            janela.findChild<QAbstractButton *>(QStringLiteral("btnAumentarVelocidade"));
        for (int i = 0; i < 36; ++i)
            aumentar->click();
        janela.findChild<QAbstractButton *>(QStringLiteral("btnAumentarInclinacao"))->click();
        QTimer::singleShot(1600, &janela, [&janela, arquivo] {
            const bool salvo = janela.grab().save(arquivo);
            std::fprintf(stderr, "%s %s\n", salvo ? "saved" : "could not save",
                         qPrintable(arquivo));
            QCoreApplication::exit(salvo ? 0 : 1);
        });
    });
}

void Executar(QApplication &app)
{
    // The application title (input and message boxes read it as applicationDisplayName). It is
    // set as the name, not as the display name: Qt appends a display name to every window
    // caption, and the window's caption is "Controlador de esteira" alone.
    QApplication::setApplicationName(QStringLiteral("Orvanta - KESTROVA "));
    // Ties the window to the installed orvanta.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvanta"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("orvanta")));
    // --lang, else the window's Idioma menu, else the system's locale; before any text is made.
    PrepararIdioma(app, TfrmControlaOrvanta::IdiomaPreferido());
    QCommandLineParser opcoes;
    opcoes.setApplicationDescription(
        QCoreApplication::translate("orvanta", "Controlador da esteira Orvanta Kestrova."));
    opcoes.addHelpOption();
    const QCommandLineOption simular(
        QStringLiteral("simulate"),
        QCoreApplication::translate(
            "orvanta", "Comanda uma placa simulada (iniciada na porta escolhida ao conectar)."));
    const QCommandLineOption rastrear(
        QStringLiteral("trace"),
        QCoreApplication::translate("orvanta", "Registra cada quadro enviado e recebido."));
    QCommandLineOption capturar(QStringLiteral("screenshot"),
                                QStringLiteral("Connect, run the belt and save the window."),
                                QStringLiteral("png"));
    capturar.setFlags(QCommandLineOption::HiddenFromHelp);
    opcoes.addOptions({simular, rastrear, capturar, OpcaoIdioma()});
    opcoes.process(app);
    if (opcoes.isSet(rastrear))
        EnableTrace(true);

#ifdef KESTROVA_HAVE_BOARDSIM
    TSimulatedBoards simulados;  // outlives the window, whose port may be open on a board
#else
    if (opcoes.isSet(simular))
        throw Exception(QCoreApplication::translate(
            "orvanta", "O simulador da esteira não existe nesta plataforma."));
#endif
    TfrmControlaOrvanta janela;
    frmControlaOrvanta = &janela;
#ifdef KESTROVA_HAVE_BOARDSIM
    if (opcoes.isSet(simular))
        janela.OnAntesDeConectar = [&simulados](int porta) { simulados.PrepararPorta(porta); };
#endif
    janela.show();
    if (opcoes.isSet(capturar))
        AgendarCaptura(janela, opcoes.value(capturar));
    QApplication::exec();
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    RunShowingExceptions([&app] { Executar(app); });
    return 0;
}
