// kestrova-somatochartdemo: a somatochart with a few athletes' somatotypes and its legend, and a
// button that opens the points editor on the chart's points.
//
//   kestrova-somatochartdemo                    shows the window
//   kestrova-somatochartdemo --screenshot FILE  saves the window beside the open points editor
//                                               (one PNG) and exits
#include <QApplication>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "platform/exception.h"
#include "somatochart/editorpropriedadespontos.h"
#include "somatochart/propriedadespontos.h"
#include "somatochart/somatocarta.h"
#include "somatochart/somatotipo.h"

namespace {

struct TAtleta {
    const char *nome;
    double endo, meso, ecto;
    TColor cor;
    int forma;
};

// Heath-Carter ratings (endomorphy, mesomorphy, ectomorphy) of a few typical athletes.
const TAtleta kAtletas[] = {
    {"Maratonista", 1.6, 4.2, 3.8, clBlue, 0}, {"Halterofilista", 2.5, 7.2, 0.8, clRed, 1},
    {"Nadadora", 3.0, 4.5, 2.8, clGreen, 0},   {"Jogador de basquete", 1.6, 5.4, 3.2, clPurple, 1},
    {"Sedentário", 5.5, 3.5, 1.5, clOlive, 0}, {"Bailarina", 3.0, 2.1, 4.8, clTeal, 0},
};

void PreencherPontos(TColecaoDePontos &pontos)
{
    for (const TAtleta &atleta : kAtletas)
        TSomatotipo(atleta.endo, atleta.meso, atleta.ecto)
            .AcrescentarEm(pontos, atleta.cor, atleta.forma, 4, QString::fromUtf8(atleta.nome));
}

// The two widgets side by side on the window colour, the editor under a caption strip standing in
// for its title bar.
QImage Compor(QWidget &janela, QWidget &editor)
{
    const QImage imagemJanela = janela.grab().toImage();
    const QImage imagemEditor = editor.grab().toImage();
    const int faixa = 22;
    const int margem = 12;
    QImage imagem(imagemJanela.width() + imagemEditor.width() + 3 * margem,
                  qMax(imagemJanela.height(), imagemEditor.height() + faixa) + 2 * margem,
                  QImage::Format_RGB32);
    imagem.fill(janela.palette().color(QPalette::Window).darker(115));
    QPainter painter(&imagem);
    painter.drawImage(margem, margem, imagemJanela);
    const QRect titulo(imagemJanela.width() + 2 * margem, margem, imagemEditor.width(), faixa);
    painter.fillRect(titulo, QColor(0, 84, 147));
    painter.setPen(Qt::white);
    painter.drawText(titulo.adjusted(6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     editor.windowTitle());
    painter.drawImage(titulo.left(), titulo.bottom() + 1, imagemEditor);
    return imagem;
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrova-somatochartdemo"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Somatochart and points editor demo"));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the window and the editor to FILE."),
                                        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(app);

    QWidget janela;
    janela.setWindowTitle(QStringLiteral("Somatocarta"));
    auto *layout = new QHBoxLayout(&janela);
    auto *carta = new TSomatocarta(&janela);
    carta->setFixedSize(520, 330);
    carta->Legenda()->AjustarFiCoordIniX(345);
    carta->Legenda()->AjustarFiCoordIniY(10);
    try {
        PreencherPontos(*carta->Pontos());
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
    }
    layout->addWidget(carta);
    auto *lateral = new QVBoxLayout;
    auto *botao = new QPushButton(QStringLiteral("Editar pontos..."));
    auto *estado = new QLabel;
    lateral->addWidget(botao);
    lateral->addWidget(estado);
    lateral->addStretch();
    layout->addLayout(lateral);
    QObject::connect(botao, &QPushButton::clicked, &janela, [&] {
        const bool alterado = TPropriedadesPontos::Edit(carta->Pontos(), &janela);
        estado->setText(alterado ? QStringLiteral("Pontos alterados.")
                                 : QStringLiteral("Nada foi alterado."));
    });

    if (!parser.isSet(screenshot)) {
        janela.show();
        return app.exec();
    }

    janela.show();
    TEditorPropriedadesPontos editor(carta->Pontos(), &janela);
    editor.Inicializar();
    editor.MostrarPonto(1);
    editor.show();
    QApplication::processEvents();
    const QString arquivo = parser.value(screenshot);
    if (!Compor(janela, editor).save(arquivo)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arquivo));
        return 1;
    }
    return 0;
}
