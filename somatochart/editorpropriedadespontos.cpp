#include "somatochart/editorpropriedadespontos.h"

#include "platform/numbertext.h"
#include "somatochart/colecaodepontos.h"
#include "ui_editorpropriedadespontos.h"

#include <QColorDialog>
#include <QLocale>
#include <QMouseEvent>
#include <QValidator>

namespace {

// Keeps a coordinate edit to digits, "-" and the locale's decimal separator. "." and "," become
// the separator and every minus sign (the locale's, U+2212, "-") becomes "-"; anything else
// (direction marks included) is dropped. Digits of any script stay as typed: TNumberText::Read
// takes them. QLineEdit runs every change through its validator (typing, paste, drop, setText),
// so no path can bring other characters in.
class TValidadorCoordenada : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        const QLocale locale;
        const QString separador = locale.decimalPoint();
        const QString menos = locale.negativeSign();
        QString limpo;
        int novaPosicao = pos;
        for (int inicio = 0; inicio < input.size();) {
            const bool par = input.at(inicio).isHighSurrogate() && inicio + 1 < input.size() &&
                             input.at(inicio + 1).isLowSurrogate();
            const int tamanho = par ? 2 : 1;
            const char32_t c = par ? QChar::surrogateToUcs4(input.at(inicio), input.at(inicio + 1))
                                   : input.at(inicio).unicode();
            QString trocado;
            if (QChar::category(c) == QChar::Number_DecimalDigit)
                trocado = input.mid(inicio, tamanho);
            else if (c == u'-' || c == kSinalMenos ||
                     (QChar::category(c) != QChar::Other_Format &&
                      menos.contains(QString::fromUcs4(&c, 1))))
                trocado = QStringLiteral("-");
            else if (c == u'.' || c == u',' || separador.contains(QString::fromUcs4(&c, 1)))
                trocado = separador;
            limpo += trocado;
            if (inicio < pos)
                novaPosicao += int(trocado.size()) - tamanho;
            inicio += tamanho;
        }
        input = limpo;
        pos = qBound(0, novaPosicao, int(input.size()));
        return Acceptable;
    }

private:
    static constexpr char32_t kSinalMenos = 0x2212;
};

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

// The source texts; the editor shows them through tr().
const QString TEditorPropriedadesPontos::kTituloVazio =
    QString::fromUtf8(QT_TRANSLATE_NOOP("TEditorPropriedadesPontos", "Nenhum ponto na carta"));
const QString TEditorPropriedadesPontos::kMensagemObrigatorios = QString::fromUtf8(
    QT_TRANSLATE_NOOP("TEditorPropriedadesPontos",
                      "O único campo não obrigatório é a descrição. Preencha todos os outros."));
const QString TEditorPropriedadesPontos::kMensagemErroValores = QString::fromUtf8(
    QT_TRANSLATE_NOOP("TEditorPropriedadesPontos", "Erro nos valores informados."));

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
        ui->pLabelEditor->setText(tr(kTituloVazio.toUtf8().constData()));
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
    ui->pLabelEditor->setText(tr("Propriedades do ponto %1").arg(i + 1));
    // Fixed notation with the fewest digits that read back to the same double, in ASCII digits
    // and "-" (the coordinate edits take no exponent and no group separator).
    ui->pEditCoordX->setText(TNumberText::Exact(ponto.X));
    ui->pEditCoordY->setText(TNumberText::Exact(ponto.Y));
    AjustarCor(ponto.Cor);
    ui->pEditTamanho->setText(QString::number(ponto.Tamanho));
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
    // The fields show the point that now holds the position (or the new last point), so the
    // deleted point's values are never written back over another by "Editar".
    FMaximo = FPontos->Count() - 1;
    MostrarPonto(qMin(posicao, FMaximo));
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
        Mensagem(tr(kMensagemObrigatorios.toUtf8().constData()), QMessageBox::Information);
        return false;
    }
    const QLocale locale;
    const bool okX = TNumberText::Read(textoX, locale, valores->X);
    const bool okY = TNumberText::Read(textoY, locale, valores->Y);
    const bool okTamanho = TNumberText::ReadInt(textoTamanho, locale, valores->Tamanho);
    // A negative size would draw nothing sensible, and -1 would make EditarPonto keep the old one.
    if (!okX || !okY || !okTamanho || valores->Tamanho < 0) {
        Mensagem(tr(kMensagemErroValores.toUtf8().constData()), QMessageBox::Critical);
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
    QMessageBox box(icon, tr("Atenção"), text, QMessageBox::Ok, this);
    box.exec();
}
