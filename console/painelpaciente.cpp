#include "console/painelpaciente.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolTip>
#include <QVBoxLayout>

#include "components/editimp.h"
#include "console/fpacientes.h"
#include "platform/numbertext.h"
#include "session/bancosessoes.h"
#include "session/relatoriosessao.h"

namespace {

constexpr int kIdadeMaxima = 120;

QString ProblemaNascimento(const QString &texto)
{
    static const QRegularExpression formato(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = formato.match(texto);
    if (!m.hasMatch())
        return QCoreApplication::translate("TPainelPaciente",
                                           "Nascimento: use dd/mm/aaaa, como 12/03/1971.");
    const QDate data(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    const QDate hoje = QDate::currentDate();
    if (!data.isValid())
        return QCoreApplication::translate("TPainelPaciente",
                                           "Nascimento: %1 não é uma data válida.")
            .arg(texto);
    if (data > hoje)
        return QCoreApplication::translate("TPainelPaciente", "Nascimento: a data está no futuro.");
    if (data < hoje.addYears(-kIdadeMaxima))
        return QCoreApplication::translate("TPainelPaciente",
                                           "Nascimento: idade acima de %1 anos; confira o ano.")
            .arg(kIdadeMaxima);
    return QString();
}

// A number with a dot or a comma as the decimal separator, as the platform reads numbers.
bool LerNumero(const QString &texto, double &valor)
{
    if (texto.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return false;
    return TNumberText::Read(texto, QLocale::c(), valor) ||
           TNumberText::Read(texto, QLocale(QLocale::Portuguese, QLocale::Brazil), valor);
}

QString ProblemaPeso(const QString &texto)
{
    double kg = 0;
    if (!LerNumero(texto, kg) || kg < 10 || kg > 350)
        return QCoreApplication::translate("TPainelPaciente",
                                           "Peso: informe os quilos, de 10 a 350, como 72,5.");
    return QString();
}

QString ProblemaAltura(const QString &texto)
{
    double cm = 0;
    if (!LerNumero(texto, cm))
        return QCoreApplication::translate(
            "TPainelPaciente", "Altura: informe os centímetros, de 50 a 250, como 175.");
    if (cm > 0 && cm < 3)
        return QCoreApplication::translate(
            "TPainelPaciente", "Altura: informe em centímetros, como 175 (não em metros).");
    if (cm < 50 || cm > 250)
        return QCoreApplication::translate("TPainelPaciente",
                                           "Altura: %1 cm fora da faixa de 50 a 250 cm.")
            .arg(texto);
    return QString();
}

QString Dica(const QString &campo)
{
    if (campo == QLatin1String("nascimento"))
        return QCoreApplication::translate("TPainelPaciente", "dd/mm/aaaa");
    if (campo == QLatin1String("peso"))
        return QCoreApplication::translate("TPainelPaciente", "kg, como 72,5");
    if (campo == QLatin1String("altura"))
        return QCoreApplication::translate("TPainelPaciente", "cm, como 175");
    return QString();
}

bool MesmosCampos(const TPaciente &a, const TPaciente &b)
{
    return a.nome == b.nome && a.identificador == b.identificador && a.nascimento == b.nascimento &&
           a.sexo == b.sexo && a.peso == b.peso && a.altura == b.altura && a.medico == b.medico &&
           a.observacoes == b.observacoes;
}

}  // namespace

TPainelPaciente::TPainelPaciente(QWidget *parent) : QGroupBox(tr("Paciente"), parent)
{
    auto *layout = new QFormLayout(this);
    layout->addRow(CriarSituacao());
    for (const TRelatorioSessao::TCaixa &caixa : TRelatorioSessao::CaixasPaciente()) {
        const QString campo = caixa.campo;
        if (campo == QLatin1String("sexo")) {
            FSexo = new QComboBox;
            FSexo->setObjectName(QStringLiteral("cmbSexo"));
            FSexo->addItem(QString());
            FSexo->addItem(tr("Feminino"), QStringLiteral("F"));
            FSexo->addItem(tr("Masculino"), QStringLiteral("M"));
            connect(FSexo, &QComboBox::currentIndexChanged, this, [this] {
                MostrarProblema(QStringLiteral("sexo"));
                AtualizarSituacao();
            });
            layout->addRow(caixa.rotulo + QLatin1Char(':'), CriarCampo(campo, FSexo));
            continue;
        }
        auto *edit = new TEditImp(this);
        edit->setObjectName(QStringLiteral("edt_") + campo);
        edit->setPlaceholderText(Dica(campo));
        TRelatorioSessao::ConfigurarCaixa(*edit->InterfaceImpressora(), campo);
        edit->AjustarFbInterfaceImpressoraAtiva(true);
        edit->OnLimiteTexto = [edit](QObject *) {
            QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())),
                               tr("O texto não cabe no campo do relatório."), edit);
        };
        connect(edit, &QLineEdit::editingFinished, this, [this, campo] { MostrarProblema(campo); });
        connect(edit, &QLineEdit::textChanged, this, [this, campo] {
            // A reason already shown follows the text, so it goes as soon as it is mended.
            if (FAvisos.contains(campo) && !FAvisos.value(campo)->isHidden())
                MostrarProblema(campo);
            AtualizarSituacao();
        });
        FCampos.insert(campo, edit);
        layout->addRow(caixa.rotulo + QLatin1Char(':'), CriarCampo(campo, edit));
    }
    FBetabloqueador = new QCheckBox(tr("Usa betabloqueador"));
    FBetabloqueador->setObjectName(QStringLiteral("chkBetabloqueador"));
    FBetabloqueador->setFocusPolicy(Qt::NoFocus);
    layout->addRow(FBetabloqueador);
    AtualizarSituacao();
}

bool TPainelPaciente::Betabloqueador() const
{
    return FBetabloqueador->isChecked();
}

TPainelPaciente::~TPainelPaciente()
{
    // The fields outlive this object's members while QWidget closes them (a focus change emits
    // editingFinished): they must not reach them then.
    for (TEditImp *edit : std::as_const(FCampos))
        edit->disconnect(this);
    FSexo->disconnect(this);
}

// The editor with, under it, the label that gives the field's problem (hidden when none).
QWidget *TPainelPaciente::CriarCampo(const QString &campo, QWidget *editor)
{
    auto *caixa = new QWidget;
    auto *coluna = new QVBoxLayout(caixa);
    coluna->setContentsMargins(0, 0, 0, 0);
    coluna->setSpacing(1);
    coluna->addWidget(editor);
    auto *aviso = new QLabel;
    aviso->setObjectName(QStringLiteral("lblAviso_") + campo);
    aviso->setWordWrap(true);
    aviso->setStyleSheet(QStringLiteral("color: #c00000;"));
    aviso->hide();
    coluna->addWidget(aviso);
    FAvisos.insert(campo, aviso);
    return caixa;
}

QWidget *TPainelPaciente::CriarSituacao()
{
    auto *linha = new QWidget;
    auto *layout = new QHBoxLayout(linha);
    layout->setContentsMargins(0, 0, 0, 0);
    FSituacao = new QLabel;
    FSituacao->setObjectName(QStringLiteral("lblSituacaoPaciente"));
    FSituacao->setWordWrap(true);
    auto *pacientes = new QPushButton(tr("Pacientes..."));
    auto *novo = new QPushButton(tr("Novo paciente"));
    pacientes->setObjectName(QStringLiteral("btnPacientes"));
    novo->setObjectName(QStringLiteral("btnNovoPaciente"));
    // As the console's control buttons: no keyboard focus, so Space never presses them.
    for (QPushButton *b : {pacientes, novo})
        b->setFocusPolicy(Qt::NoFocus);
    pacientes->setEnabled(false);
    FBotaoPacientes = pacientes;
    connect(pacientes, &QPushButton::clicked, this, &TPainelPaciente::AbrirPacientes);
    connect(novo, &QPushButton::clicked, this, &TPainelPaciente::NovoPaciente);
    layout->addWidget(FSituacao, 1);
    layout->addWidget(pacientes);
    layout->addWidget(novo);
    return linha;
}

TPaciente TPainelPaciente::Paciente() const
{
    TPaciente p;
    p.id = FCarregado.id;
    const auto texto = [this](const char *campo) {
        return FCampos.value(QString::fromLatin1(campo))->PegarTexto().trimmed();
    };
    p.nome = texto("nome");
    p.identificador = texto("identificador");
    p.nascimento = texto("nascimento");
    p.sexo = FSexo->currentData().toString();
    p.peso = texto("peso");
    p.altura = texto("altura");
    p.medico = texto("medico");
    p.observacoes = texto("observacoes");
    return p;
}

void TPainelPaciente::AjustarPaciente(const TPaciente &paciente)
{
    for (auto it = FCampos.begin(); it != FCampos.end(); ++it) {
        it.value()->clear();  // a stored text that does not fit leaves the field empty
        it.value()->AjustarTexto(TRelatorioSessao::ValorCampo(paciente, it.key()));
    }
    AjustarSexo(paciente.sexo);
    FCarregado = paciente;
    if (paciente.id)
        FCarregado = Paciente();  // as the fields hold it, so an untouched block is unchanged
    for (const QString &campo : FAvisos.keys())
        MostrarProblema(campo);
    AtualizarSituacao();
}

void TPainelPaciente::NovoPaciente()
{
    AjustarPaciente(TPaciente{});
    FBetabloqueador->setChecked(false);
    for (QLabel *aviso : std::as_const(FAvisos))
        aviso->hide();
    for (TEditImp *edit : std::as_const(FCampos))
        edit->setToolTip(QString());
}

// Stored texts other than "F" and "M" (typed freely before the list) are kept as an entry of
// their own, shown as a problem, so choosing the patient does not silently change them.
void TPainelPaciente::AjustarSexo(const QString &texto)
{
    while (FSexo->count() > 3)
        FSexo->removeItem(3);
    const QString codigo = CodigoSexo(texto);
    if (codigo.isEmpty() && !texto.trimmed().isEmpty()) {
        FSexo->addItem(texto.trimmed(), texto.trimmed());
        FSexo->setCurrentIndex(3);
        return;
    }
    FSexo->setCurrentIndex(qMax(0, FSexo->findData(codigo)));
}

QString TPainelPaciente::CodigoSexo(const QString &texto)
{
    const QString t = TBancoSessoes::TextoDeBusca(texto.trimmed());
    if (t.isEmpty())
        return QString();
    if (QStringLiteral("feminino").startsWith(t))
        return QStringLiteral("F");
    if (QStringLiteral("masculino").startsWith(t))
        return QStringLiteral("M");
    return QString();
}

bool TPainelPaciente::Alterado() const
{
    return FCarregado.id && !MesmosCampos(Paciente(), FCarregado);
}

QString TPainelPaciente::ProblemaCampo(const QString &campo) const
{
    const TPaciente p = Paciente();
    if (campo == QLatin1String("nome"))
        return p.nome.isEmpty() ? tr("Informe o nome do paciente.") : QString();
    if (campo == QLatin1String("sexo"))
        return p.sexo.isEmpty() || !CodigoSexo(p.sexo).isEmpty()
                   ? QString()
                   : tr("Sexo: escolha Feminino ou Masculino (\"%1\" não é um deles).").arg(p.sexo);
    const QString texto = TRelatorioSessao::ValorCampo(p, campo);
    if (texto.isEmpty())
        return QString();  // the other fields may be left blank
    if (campo == QLatin1String("nascimento"))
        return ProblemaNascimento(texto);
    if (campo == QLatin1String("peso"))
        return ProblemaPeso(texto);
    if (campo == QLatin1String("altura"))
        return ProblemaAltura(texto);
    return QString();
}

QString TPainelPaciente::Problema() const
{
    for (const TRelatorioSessao::TCaixa &caixa : TRelatorioSessao::CaixasPaciente())
        if (const QString problema = ProblemaCampo(caixa.campo); !problema.isEmpty())
            return problema;
    return QString();
}

QString TPainelPaciente::Verificar()
{
    for (const QString &campo : FAvisos.keys())
        MostrarProblema(campo);
    return Problema();
}

void TPainelPaciente::MostrarProblema(const QString &campo)
{
    QLabel *aviso = FAvisos.value(campo);
    if (!aviso)
        return;
    const QString problema = ProblemaCampo(campo);
    aviso->setText(problema);
    aviso->setVisible(!problema.isEmpty());
    if (TEditImp *edit = FCampos.value(campo))
        edit->setToolTip(problema);
    else
        FSexo->setToolTip(problema);
}

void TPainelPaciente::AtualizarSituacao()
{
    if (!FCarregado.id) {
        FSituacao->setText(tr("Novo paciente: cadastrado ao iniciar o teste."));
        return;
    }
    QString texto = tr("Paciente cadastrado nº %1").arg(FCarregado.id);
    const TPaciente p = Paciente();
    if (p.nome != FCarregado.nome || p.identificador != FCarregado.identificador)
        texto += QStringLiteral(
            ", nome ou identificação alterados: o cadastro será atualizado ao iniciar o teste. "
            "Para outra pessoa, use \"Novo paciente\".");
    else if (Alterado())
        texto += tr(", alterado: o cadastro será atualizado ao iniciar o teste.");
    FSituacao->setText(texto);
}

void TPainelPaciente::AjustarBanco(TBancoSessoes *banco)
{
    FBanco = banco;
    FBotaoPacientes->setEnabled(banco != nullptr);
}

void TPainelPaciente::AbrirPacientes()
{
    if (!FBanco)
        return;
    if (FJanela) {
        FJanela->raise();
        FJanela->activateWindow();
        return;
    }
    FJanela = new TfrmPacientes(FBanco, window());
    FJanela->setAttribute(Qt::WA_DeleteOnClose);
    FJanela->OnEscolher = [this](const TPaciente &p) { AjustarPaciente(p); };
    FJanela->OnNovo = [this] { NovoPaciente(); };
    FJanela->OnAbrirTeste = [this](qint64 sessao) {
        if (OnAbrirTeste)
            OnAbrirTeste(sessao);
    };
    FJanela->AjustarEscolha(isEnabled());
    FJanela->show();
}

// The list's choosing buttons follow the block: off while a test runs.
void TPainelPaciente::changeEvent(QEvent *event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && FJanela)
        FJanela->AjustarEscolha(isEnabled());
}
