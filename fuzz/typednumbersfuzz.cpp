#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <cmath>

#include "app/updown.h"
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "platform/exception.h"
#include "platform/formatfloat.h"
#include "somatochart/colecaodepontos.h"
#include "somatochart/editorpropriedadespontos.h"
#include "somatochart/ponto.h"

namespace {

constexpr double kSentinela = 271828.0;

void NumerosDigitados(const QString &text)
{
    double real = kSentinela;
    if (TryStrToFloat(text, real)) {
        FuzzCheck(std::isfinite(real), "a number read is finite");
        double lido = kSentinela;
        FuzzCheck(TryStrToFloat(FormatFloat(QStringLiteral("0.###"), real), lido),
                  "a formatted number reads back");
    } else {
        FuzzCheck(real == kSentinela, "a refused text keeps the value");
    }
    int inteiro = -7;
    if (TryStrToInt(text, inteiro)) {
        int lido = 0;
        FuzzCheck(TryStrToInt(QString::number(inteiro), lido) && lido == inteiro,
                  "an integer reads back");
    } else {
        FuzzCheck(inteiro == -7, "a refused integer keeps the value");
    }
    try {
        (void)FormatFloat(text, -1234.5678);
    } catch (const Exception &) {
        // A picture the format refuses.
    }
}

void PosicaoDigitada(const QString &text)
{
    static QLineEdit *edit = new QLineEdit;
    static TUpDown *upDown = [] {
        auto *u = new TUpDown;
        u->SetMin(-50);
        u->SetMax(50);
        u->SetAssociate(edit);
        return u;
    }();
    edit->setText(text);
    const int posicao = upDown->Position();
    FuzzCheck(posicao >= -50 && posicao <= 50, "the up-down's position stays within its range");
}

// The points editor: coordinates typed (through the fields' filter), then "Acrescentar".
void PontoDigitado(const QStringList &campos)
{
    static TColecaoDePontos *pontos = new TColecaoDePontos;
    static TEditorPropriedadesPontos *editor = [] {
        TEditorPropriedadesPontos::SetMessageBoxHook(
            [](QWidget *, const QString &, QMessageBox::Icon) {});
        auto *e = new TEditorPropriedadesPontos(pontos);
        e->Inicializar();
        return e;
    }();
    const char *nomes[] = {"pEditCoordX", "pEditCoordY", "pEditTamanho"};
    for (int i = 0; i < 3; ++i) {
        auto *campo = editor->findChild<QLineEdit *>(QLatin1String(nomes[i]));
        FuzzCheck(campo, "the editor's fields are there");
        campo->clear();
        campo->insert(campos.value(i));
    }
    pontos->Clear();
    editor->findChild<QPushButton *>(QStringLiteral("pBotaoAcrescentar"))->click();
    if (pontos->Count() == 0)
        return;
    const TPonto &ponto = pontos->Items(pontos->Count() - 1);
    FuzzCheck(std::isfinite(ponto.X) && std::isfinite(ponto.Y), "an added point is finite");
    FuzzCheck(ponto.Tamanho >= 0, "an added point has a size");
}

}  // namespace

// The input is UTF-8 text; its lines, split at '\n', are the editor's X, Y and size fields.
int FuzzTypedNumbers(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    const QString text = QString::fromUtf8(FuzzBytes(data, size));
    NumerosDigitados(text);
    PosicaoDigitada(text);
    PontoDigitado(text.split(QLatin1Char('\n')));
    return 0;
}
