// Saves docs/protocol-editor.png: the protocol editor with a three-stage protocol and a ramp, in
// a scratch folder. For the documentation only: run under a display (xvfb-run).
//   captura_editorprotocolos OUT.png

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "console/feditorprotocolos.h"
#include "protocol/bibliotecaprotocolos.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTemporaryDir pasta;
    TBibliotecaProtocolos biblioteca(pasta.path());
    TProtocolo p;
    p.id = QStringLiteral("naughton-adaptado");
    p.nome = QStringLiteral("Naughton adaptado");
    p.descricao = QStringLiteral("Estágios de 2 minutos e uma rampa até 6 km/h");
    p.fonte = QStringLiteral("Laboratório de Ergometria, 2026");
    p.aquecimento = {TPasso::Estagio(120000, 2.0, 0)};
    p.exercicio = {TPasso::Estagio(120000, 3.2, 3.5), TPasso::Rampa(360000, 3.2, 3.5, 6.0, 14),
                   TPasso::Estagio(120000, 6.0, 14), TPasso::Estagio(120000, 6.4, 27)};
    p.recuperacao = {TPasso::Estagio(180000, 2.5, 0)};
    QString erro;
    if (!biblioteca.Gravar(p, &erro)) {
        std::fprintf(stderr, "%s\n", qPrintable(erro));
        return 1;
    }
    TfrmEditorProtocolos janela(pasta.path());
    janela.Selecionar(p.id);
    // An edit in progress: the window shows it modified, with Salvar on.
    janela.Editor()->AjustarTexto(TFase::Exercicio, 2, TEditorProtocolo::TCampo::Duracao,
                                  QStringLiteral("1:30"));
    janela.show();
    QTimer::singleShot(1500, &janela, [&] {
        const bool salvo = janela.grab().save(QString::fromLocal8Bit(argv[1]));
        std::fprintf(stderr, "%s %s\n", salvo ? "saved" : "could not save", argv[1]);
        app.exit(salvo ? 0 : 1);
    });
    return app.exec();
}
