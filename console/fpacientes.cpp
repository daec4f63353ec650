#include "console/fpacientes.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "session/bancosessoes.h"
#include "session/resumosessao.h"

namespace {

QTreeWidget *Lista(const QString &nome, const QStringList &colunas)
{
    auto *lista = new QTreeWidget;
    lista->setObjectName(nome);
    lista->setHeaderLabels(colunas);
    lista->setRootIsDecorated(false);
    lista->setAlternatingRowColors(true);
    lista->setUniformRowHeights(true);
    lista->header()->setStretchLastSection(false);
    lista->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return lista;
}

QString DataHora(const QDateTime &quando)
{
    return quando.isValid() ? quando.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))
                            : QStringLiteral("-");
}

QString NomeSexo(const QString &codigo)
{
    if (codigo == QLatin1String("F"))
        return QCoreApplication::translate("TfrmPacientes", "Feminino");
    if (codigo == QLatin1String("M"))
        return QCoreApplication::translate("TfrmPacientes", "Masculino");
    return codigo;
}

}  // namespace

TfrmPacientes::TfrmPacientes(TBancoSessoes *banco, QWidget *parent) : QDialog(parent), FBanco(banco)
{
    setWindowTitle(tr("Pacientes"));
    setMinimumSize(720, 480);
    resize(980, 640);
    auto *layout = new QVBoxLayout(this);
    auto *busca = new QHBoxLayout;
    FBusca = new QLineEdit;
    FBusca->setObjectName(QStringLiteral("edtBuscaPaciente"));
    FBusca->setPlaceholderText(tr("parte do nome ou da identificação"));
    FBusca->setClearButtonEnabled(true);
    FBusca->installEventFilter(this);
    FContagem = new QLabel;
    FContagem->setObjectName(QStringLiteral("lblContagemPacientes"));
    auto *rotulo = new QLabel(tr("&Buscar:"));
    rotulo->setBuddy(FBusca);
    busca->addWidget(rotulo);
    busca->addWidget(FBusca, 1);
    busca->addWidget(FContagem);
    layout->addLayout(busca);
    layout->addWidget(CriarListas(), 1);
    layout->addLayout(CriarBotoes());
    connect(FBusca, &QLineEdit::textChanged, this, &TfrmPacientes::Buscar);
    Buscar();
    FBusca->setFocus();
}

QWidget *TfrmPacientes::CriarListas()
{
    auto *divisao = new QSplitter(Qt::Vertical);
    FPacientes =
        Lista(QStringLiteral("lstPacientes"), {tr("Nome"), tr("Identificação"), tr("Nascimento"),
                                               tr("Sexo"), tr("Último teste"), tr("Testes")});
    FPacientes->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    FPacientes->installEventFilter(this);
    connect(FPacientes, &QTreeWidget::currentItemChanged, this, &TfrmPacientes::MostrarTestes);
    // Enter is the default button's; a double click chooses too.
    connect(FPacientes, &QTreeWidget::itemDoubleClicked, this, &TfrmPacientes::Escolher);
    divisao->addWidget(FPacientes);
    auto *baixo = new QWidget;
    auto *coluna = new QVBoxLayout(baixo);
    coluna->setContentsMargins(0, 0, 0, 0);
    FTitulo = new QLabel;
    FTitulo->setObjectName(QStringLiteral("lblTestesPaciente"));
    FTestes = Lista(QStringLiteral("lstTestesPaciente"),
                    {tr("Nº"), tr("Data"), tr("Protocolo"), tr("Duração"), tr("Situação"),
                     tr("Motivo da parada")});
    FTestes->header()->setSectionResizeMode(5, QHeaderView::Stretch);
    FTestes->setFocusPolicy(Qt::NoFocus);
    FTestes->setToolTip(tr("Clique duas vezes para ver o teste nas sessões gravadas"));
    coluna->addWidget(FTitulo);
    coluna->addWidget(FTestes, 1);
    divisao->addWidget(baixo);
    divisao->setStretchFactor(0, 3);
    divisao->setStretchFactor(1, 2);
    return divisao;
}

QLayout *TfrmPacientes::CriarBotoes()
{
    auto *botoes = new QHBoxLayout;
    FUsar = new QPushButton(tr("&Usar este paciente"));
    FNovo = new QPushButton(tr("&Novo paciente"));
    auto *fechar = new QPushButton(tr("Fechar"));
    FUsar->setObjectName(QStringLiteral("btnUsarPaciente"));
    FNovo->setObjectName(QStringLiteral("btnNovoPacienteLista"));
    FUsar->setDefault(true);
    fechar->setAutoDefault(false);
    FNovo->setAutoDefault(false);
    botoes->addWidget(FUsar);
    botoes->addWidget(FNovo);
    botoes->addStretch(1);
    botoes->addWidget(fechar);
    connect(FUsar, &QPushButton::clicked, this, &TfrmPacientes::Escolher);
    connect(FTestes, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (OnAbrirTeste)
            OnAbrirTeste(item->text(0).toLongLong());
    });
    connect(FNovo, &QPushButton::clicked, this, [this] {
        if (OnNovo)
            OnNovo();
        close();
    });
    connect(fechar, &QPushButton::clicked, this, &QDialog::close);
    return botoes;
}

void TfrmPacientes::AjustarEscolha(bool permitida)
{
    FUsar->setEnabled(permitida && PacienteSelecionado() != 0);
    FNovo->setEnabled(permitida);
}

void TfrmPacientes::Buscar()
{
    const QList<TBancoSessoes::TPacienteEncontrado> encontrados =
        FBanco->BuscarPacientes(FBusca->text());
    FPacientes->clear();
    for (const TBancoSessoes::TPacienteEncontrado &e : encontrados) {
        const TPaciente &p = e.paciente;
        auto *item = new QTreeWidgetItem(FPacientes,
                                         {p.nome, p.identificador, p.nascimento, NomeSexo(p.sexo),
                                          DataHora(e.ultimoTeste), QString::number(e.testes)});
        item->setData(0, Qt::UserRole, p.id);
        item->setTextAlignment(5, Qt::AlignRight | Qt::AlignVCenter);
    }
    FContagem->setText(encontrados.size() == 1 ? tr("1 paciente")
                                               : tr("%1 pacientes").arg(encontrados.size()));
    FPacientes->setCurrentItem(FPacientes->topLevelItem(0));
    MostrarTestes();
}

qint64 TfrmPacientes::PacienteSelecionado() const
{
    const QTreeWidgetItem *item = FPacientes->currentItem();
    return item ? item->data(0, Qt::UserRole).toLongLong() : 0;
}

void TfrmPacientes::MostrarTestes()
{
    FTestes->clear();
    const qint64 id = PacienteSelecionado();
    FUsar->setEnabled(id != 0 && FNovo->isEnabled());
    if (!id) {
        FTitulo->setText(tr("Nenhum paciente encontrado."));
        return;
    }
    const QList<TSessao> sessoes = FBanco->SessoesDoPaciente(id);
    FTitulo->setText(tr("Testes anteriores de %1: %2")
                         .arg(FPacientes->currentItem()->text(0))
                         .arg(sessoes.size()));
    for (const TSessao &s : sessoes)
        new QTreeWidgetItem(FTestes, {QString::number(s.id), DataHora(s.inicio), s.protocoloNome,
                                      TResumoSessao::Tempo(s.duracaoMs),
                                      TBancoSessoes::NomeSituacao(s.situacao), s.motivoParada});
}

void TfrmPacientes::Escolher()
{
    const qint64 id = PacienteSelecionado();
    if (!id || !FUsar->isEnabled())
        return;
    const std::optional<TPaciente> paciente = FBanco->LerPaciente(id);
    if (paciente && OnEscolher)
        OnEscolher(*paciente);
    close();
}

// The box keeps the focus while the arrow keys move in the list; a key typed in the list goes to
// the box, so typing always searches.
bool TfrmPacientes::eventFilter(QObject *alvo, QEvent *evento)
{
    if (evento->type() != QEvent::KeyPress)
        return QDialog::eventFilter(alvo, evento);
    auto *tecla = static_cast<QKeyEvent *>(evento);
    if (alvo == FBusca) {
        switch (tecla->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown: QCoreApplication::sendEvent(FPacientes, tecla); return true;
            default: break;
        }
    } else if (alvo == FPacientes && !tecla->text().isEmpty() && tecla->text().at(0).isPrint() &&
               !(tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        FBusca->setFocus();
        QCoreApplication::sendEvent(FBusca, tecla);
        return true;
    }
    return QDialog::eventFilter(alvo, evento);
}
