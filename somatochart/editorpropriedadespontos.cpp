#include "somatochart/editorpropriedadespontos.h"

#include "somatochart/colecaodepontos.h"
#include "ui_editorpropriedadespontos.h"

#include <QColorDialog>
#include <QLocale>
#include <QMouseEvent>
#include <QValidator>
#include <cmath>

namespace {

// Keeps a coordinate edit to digits, "-" and the locale's decimal separator. "." and "," become
// the separator; anything else is dropped. QLineEdit runs every change through its validator
// (typing, paste, drop, setText), so no path can bring other characters in.
class TValidadorCoordenada : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        const QString separador = QLocale().decimalPoint();
        QString limpo;
        int novaPosicao = pos;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (c.isDigit() || c == QLatin1Char('-')) {
                limpo += c;
            } else if (c == QLatin1Char('.') || c == QLatin1Char(',') || separador.contains(c)) {
                limpo += separador;
                if (i < pos)
                    novaPosicao += int(separador.size()) - 1;
            } else if (i < pos) {
                --novaPosicao;
            }
        }
        input = limpo;
        pos = qBound(0, novaPosicao, int(input.size()));
        return Acceptable;
    }
};

// The locale numbers are shown and read with: the default one, without group separators (the
// coordinate edits would drop them and "1.000" must not read as a thousand).
QLocale LocaleNumerico()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

TEditorPropriedadesPontos::TMessageBoxHook &GanchoMensagem()
{
    static TEditorPropriedadesPontos::TMessageBoxHook hook;
    return hook;
}

TEditorPropriedadesPontos::TColorDialogHook &GanchoDialogoCor()
{
    static TEditorPropriedadesPontos::TColorDialogHook hook;
    return hook;
}

}  // namespace

const QString TEditorPropriedadesPontos::kTituloVazio = QStringLiteral("Nenhum ponto na carta");
const QString TEditorPropriedadesPontos::kMensagemObrigatorios =
    QStringLiteral("O único campo não obrigatório é a descrição. Preencha todos os outros.");
const QString TEditorPropriedadesPontos::kMensagemErroValores =
    QStringLiteral("Erro nos valores informados.");

struct TEditorPropriedadesPontos::TValores {
    double X = 0;
    double Y = 0;
    int Forma = 0;
    int Tamanho = 0;
    QString Descricao;
};

TEditorPropriedadesPontos::TEditorPropriedadesPontos(TColecaoDePontos *pontos, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TEditorPropriedadesPontos>()), FPontos(pontos)
{
    ui->setupUi(this);
    ui->pEditCoordX->setValidator(new TValidadorCoordenada(ui->pEditCoordX));
    ui->pEditCoordY->setValidator(new TValidadorCoordenada(ui->pEditCoordY));
    ui->pShapeCor->installEventFilter(this);
    connect(ui->pUpDownAnterior, &QToolButton::clicked, this,
            &TEditorPropriedadesPontos::pUpDownAnteriorClick);
    connect(ui->pUpDownProximo, &QToolButton::clicked, this,
            &TEditorPropriedadesPontos::pUpDownProximoClick);
    connect(ui->pBotaoAcrescentar, &QPushButton::clicked, this,
            &TEditorPropriedadesPontos::pBotaoAcrescentarClick);
    connect(ui->pBotaoEditar, &QPushButton::clicked, this,
            &TEditorPropriedadesPontos::pBotaoEditarClick);
    connect(ui->pBotaoExcluir, &QPushButton::clicked, this,
            &TEditorPropriedadesPontos::pBotaoExcluirClick);
    AjustarCor(FCor);
    AtualizarUpDown();
}

TEditorPropriedadesPontos::~TEditorPropriedadesPontos() = default;

void TEditorPropriedadesPontos::Inicializar()
{
    if (!FPontos || FPontos->Count() == 0) {
        FMaximo = 0;
        FPosicao = 0;
        ui->pLabelEditor->setText(kTituloVazio);
        ui->pLabelAtual_Total->setText(QStringLiteral("0/0"));
        AtualizarUpDown();
        return;
    }
    FMaximo = FPontos->Count() - 1;
    MostrarPonto(0);
}

void TEditorPropriedadesPontos::MostrarPonto(int i)
{
    if (!FPontos || i < 0 || i >= FPontos->Count())
        return;
    const TPonto &ponto = FPontos->Items(i);
    const QLocale locale = LocaleNumerico();
    ui->pLabelEditor->setText(QStringLiteral("Propriedades do ponto %1").arg(i + 1));
    // Fixed notation with the fewest digits that read back to the same double: the coordinate
    // edits take no exponent.
    ui->pEditCoordX->setText(locale.toString(ponto.X, 'f', QLocale::FloatingPointShortest));
    ui->pEditCoordY->setText(locale.toString(ponto.Y, 'f', QLocale::FloatingPointShortest));
    AjustarCor(ponto.Cor);
    ui->pEditTamanho->setText(locale.toString(ponto.Tamanho));
    ui->pComboBoxFormato->setCurrentIndex(ponto.Forma == 0 || ponto.Forma == 1 ? ponto.Forma : -1);
    ui->pEditDescricao->setText(ponto.Descricao);
    FPosicao = i;
    AtualizarUpDown();
    AtualizarContador();
}

TEditorPropriedadesPontos::TMessageBoxHook TEditorPropriedadesPontos::SetMessageBoxHook(
    TMessageBoxHook hook)
{
    return std::exchange(GanchoMensagem(), std::move(hook));
}

TEditorPropriedadesPontos::TColorDialogHook TEditorPropriedadesPontos::SetColorDialogHook(
    TColorDialogHook hook)
{
    return std::exchange(GanchoDialogoCor(), std::move(hook));
}

bool TEditorPropriedadesPontos::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->pShapeCor && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        pShapeCorMouseDown();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TEditorPropriedadesPontos::pUpDownAnteriorClick()
{
    if (FPosicao <= 0)
        return;
    --FPosicao;
    pUpDownClick();
}

void TEditorPropriedadesPontos::pUpDownProximoClick()
{
    if (FPosicao >= FMaximo)
        return;
    ++FPosicao;
    pUpDownClick();
}

void TEditorPropriedadesPontos::pUpDownClick()
{
    AtualizarUpDown();
    MostrarPonto(FPosicao);
}

void TEditorPropriedadesPontos::pShapeCorMouseDown()
{
    const QColor inicial = FCor.ToQColor();
    const QColor escolhida = GanchoDialogoCor() ? GanchoDialogoCor()(this, inicial)
                                                : QColorDialog::getColor(inicial, this);
    if (escolhida.isValid())
        AjustarCor(TColor::FromQColor(escolhida));
}

void TEditorPropriedadesPontos::pBotaoAcrescentarClick()
{
    TValores valores;
    if (!FPontos || !LerValores(&valores))
        return;
    FPontos->AcrescentarPonto(valores.X, valores.Y, FCor, valores.Forma, valores.Tamanho,
                              valores.Descricao);
    FMaximo = FPontos->Count() - 1;
    MostrarPonto(FMaximo);
}

void TEditorPropriedadesPontos::pBotaoEditarClick()
{
    if (!FPontos || FPosicao < 0 || FPosicao >= FPontos->Count())
        return;
    TValores valores;
    if (!LerValores(&valores))
        return;
    // EditarPonto reads the colour 2147483647 and the description "0" as "keep the old value";
    // written here first, they are applied like any other value.
    TPonto &ponto = FPontos->Items(FPosicao);
    if (FCor == TColecaoDePontos::kCorInalterada)
        ponto.Cor = FCor;
    if (valores.Descricao == QLatin1String("0"))
        ponto.Descricao = valores.Descricao;
    FPontos->EditarPonto(FPosicao, valores.X, valores.Y, FCor, valores.Forma, valores.Tamanho,
                         valores.Descricao);
}

void TEditorPropriedadesPontos::pBotaoExcluirClick()
{
    if (!FPontos || FPosicao < 0 || FPosicao >= FPontos->Count())
        return;
    const int posicao = FPosicao;
    FPontos->ExcluirPonto(posicao);
    if (FPontos->Count() == 0) {
        // The fields keep the deleted point so that it can be added back.
        Inicializar();
        return;
    }
    FMaximo = FPontos->Count() - 1;
    FPosicao = qMin(FPosicao, FMaximo);
    AtualizarUpDown();
    // After the first point there is no point -1: the fields stay, the counter shows the new total.
    MostrarPonto(posicao - 1);
    AtualizarContador();
}

void TEditorPropriedadesPontos::AjustarCor(TColor cor)
{
    FCor = cor;
    QPalette palette = ui->pShapeCor->palette();
    palette.setColor(QPalette::Window, cor.ToQColor());
    ui->pShapeCor->setPalette(palette);
}

void TEditorPropriedadesPontos::AtualizarUpDown()
{
    ui->pUpDownAnterior->setEnabled(FPosicao > 0);
    ui->pUpDownProximo->setEnabled(FPosicao < FMaximo);
}

void TEditorPropriedadesPontos::AtualizarContador()
{
    ui->pLabelAtual_Total->setText(QStringLiteral("%1/%2").arg(FPosicao + 1).arg(FMaximo + 1));
}

bool TEditorPropriedadesPontos::LerValores(TValores *valores)
{
    const QString textoX = ui->pEditCoordX->text();
    const QString textoY = ui->pEditCoordY->text();
    const QString textoTamanho = ui->pEditTamanho->text();
    if (textoX.isEmpty() || textoY.isEmpty() || textoTamanho.isEmpty() ||
        ui->pComboBoxFormato->currentIndex() < 0) {
        Mensagem(kMensagemObrigatorios, QMessageBox::Information);
        return false;
    }
    const QLocale locale = LocaleNumerico();
    bool okX = false;
    bool okY = false;
    bool okTamanho = false;
    valores->X = locale.toDouble(textoX, &okX);
    valores->Y = locale.toDouble(textoY, &okY);
    valores->Tamanho = locale.toInt(textoTamanho, &okTamanho);
    // A negative size would draw nothing sensible, and -1 would make EditarPonto keep the old one.
    if (!okX || !okY || !okTamanho || !std::isfinite(valores->X) || !std::isfinite(valores->Y) ||
        valores->Tamanho < 0) {
        Mensagem(kMensagemErroValores, QMessageBox::Critical);
        return false;
    }
    valores->Forma = ui->pComboBoxFormato->currentIndex();
    valores->Descricao = ui->pEditDescricao->text();
    return true;
}

void TEditorPropriedadesPontos::Mensagem(const QString &text, QMessageBox::Icon icon)
{
    if (GanchoMensagem()) {
        GanchoMensagem()(this, text, icon);
        return;
    }
    QMessageBox box(icon, QStringLiteral("Atenção"), text, QMessageBox::Ok, this);
    box.exec();
}
