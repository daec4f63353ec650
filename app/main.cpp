// The orvanta program: the treadmill controller window, optionally driving a simulated board.

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <map>
#include <memory>

#include "app/fcontrolaorvanta.h"
#include "platform/exception.h"
#include "platform/messagebox.h"
#include "platform/trace.h"
#ifdef KESTROVA_HAVE_BOARDSIM
#include "tools/boardsim/boardsimulator.h"
#endif

namespace {

#ifdef KESTROVA_HAVE_BOARDSIM
// One simulated board per port number, started the first time the operator connects on it.
class TSimulatedBoards {
public:
    void PrepararPorta(int porta)
    {
        auto &board = FBoards[porta];
        if (!board) {
            board = std::make_unique<TBoardSimulator>();
            QString erro;
            if (!board->Start(&erro)) {
                board.reset();
                throw Exception(QStringLiteral("Simulador da esteira: %1").arg(erro));
            }
        }
        qputenv(QStringLiteral("KESTROVA_COM%1").arg(porta).toLocal8Bit(),
                board->DevicePath().toLocal8Bit());
    }

private:
    std::map<int, std::unique_ptr<TBoardSimulator>> FBoards;
};
#else
class TSimulatedBoards {
public:
    void PrepararPorta(int)
    {
        throw Exception(QStringLiteral("O simulador da esteira não existe nesta plataforma."));
    }
};
#endif

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

// Shows an exception that escaped start-up or the message loop while the application, and so its
// message box, still exists.
template <typename Corpo>
void MostrarExcecoes(Corpo &&corpo)
{
    try {
        corpo();
    } catch (const Exception &erro) {
        ShowErrorMessage(erro.Message());
    } catch (const std::exception &erro) {
        ShowErrorMessage(QString::fromLocal8Bit(erro.what()));
    }
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
    QCommandLineParser opcoes;
    opcoes.setApplicationDescription(QStringLiteral("Controlador da esteira Orvanta Kestrova."));
    opcoes.addHelpOption();
    const QCommandLineOption simular(
        QStringLiteral("simulate"),
        QStringLiteral("Drive a simulated board (started on the port chosen at connect time)."));
    const QCommandLineOption rastrear(QStringLiteral("trace"),
                                      QStringLiteral("Trace every frame sent and received."));
    QCommandLineOption capturar(QStringLiteral("screenshot"),
                                QStringLiteral("Connect, run the belt and save the window."),
                                QStringLiteral("png"));
    capturar.setFlags(QCommandLineOption::HiddenFromHelp);
    opcoes.addOptions({simular, rastrear, capturar});
    opcoes.process(app);
    if (opcoes.isSet(rastrear))
        EnableTrace(true);

    TSimulatedBoards simulados;
    TfrmControlaOrvanta janela;
    frmControlaOrvanta = &janela;
    if (opcoes.isSet(simular))
        janela.OnAntesDeConectar = [&simulados](int porta) { simulados.PrepararPorta(porta); };
    janela.show();
    if (opcoes.isSet(capturar))
        AgendarCaptura(janela, opcoes.value(capturar));
    QApplication::exec();
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    MostrarExcecoes([&app] { Executar(app); });
    return 0;
}
