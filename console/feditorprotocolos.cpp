#include "console/feditorprotocolos.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include "clinical/equacoesmetabolicas.h"
#include "console/fconfiguracoes.h"
#include "console/graficoprevia.h"
#include "platform/inputbox.h"
#include "platform/messagebox.h"
#include "protocol/arquivoprotocolo.h"
#include "protocol/regrasprotocolo.h"

namespace {

using TCampo = TEditorProtocolo::TCampo;
constexpr TFase kFases[] = {TFase::Aquecimento, TFase::Exercicio, TFase::Recuperacao};
const QColor kCorProblema(248, 208, 208);
const QColor kCorLimitacao(253, 233, 196);
constexpr int kColunaTipo = 0;  // then the fields, TCampo's order

QString Tempo(qint64 ms)
{
    const qint64 s = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString Um(double valor)
{
    return QString::number(valor, 'f', 1);
}

QString Faixa(const QString &de, const QString &ate)
{
    return de == ate ? de : QStringLiteral("%1 → %2").arg(de, ate);
}

QString Faixa(double de, double ate)
{
    return Faixa(Um(de), Um(ate));
}

// The cells' editor: every keystroke is judged by the editor's rules, and the line under the
// table says the problem at once; the value is committed when the cell is left.
class TDelegadoCampo : public QStyledItemDelegate {
public:
    std::function<QString(const QModelIndex &, const QString &)> OnVerificar;
    std::function<void(const QString &)> OnProblema;

    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &opcao,
                          const QModelIndex &indice) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, opcao, indice);
        if (auto *linha = qobject_cast<QLineEdit *>(editor)) {
            linha->setObjectName(QStringLiteral("edtCelula"));
            QObject::connect(linha, &QLineEdit::textEdited, linha, [this, linha, indice] {
                const QString problema =
                    OnVerificar ? OnVerificar(indice, linha->text()) : QString();
                linha->setStyleSheet(problema.isEmpty() ? QString()
                                                        : QStringLiteral("background: #f8d0d0;"));
                if (OnProblema)
                    OnProblema(problema);
            });
        }
        return editor;
    }
};

}  // namespace

TfrmEditorProtocolos::TfrmEditorProtocolos(const QString &pasta, QWidget *parent)
    : QDialog(parent), FBiblioteca(pasta)
{
    setObjectName(QStringLiteral("dlgEditorProtocolos"));
    setWindowTitle(tr("Editor de protocolos"));
    FEditor = new TEditorProtocolo(&TEquacoesMetabolicas::Mets, QLocale(), this);
    FEditor->AjustarUnidade(TfrmConfiguracoes::UnidadeVelocidade());
    auto *layout = new QVBoxLayout(this);
    auto *divisao = new QSplitter;
    divisao->addWidget(CriarLista());
    divisao->addWidget(CriarEdicao());
    divisao->addWidget(CriarPrevia());
    divisao->setStretchFactor(1, 3);
    divisao->setStretchFactor(2, 2);
    divisao->setSizes({200, 640, 520});
    layout->addWidget(divisao, 1);
    auto *rodape = new QHBoxLayout;
    FDigitando = new QLabel;
    FDigitando->setObjectName(QStringLiteral("lblDigitando"));
    FDigitando->setStyleSheet(QStringLiteral("color: #a00000;"));
    rodape->addWidget(FDigitando, 1);
    FSalvar = new QPushButton(tr("&Salvar"));
    FSalvar->setObjectName(QStringLiteral("btnSalvar"));
    auto *fechar = new QPushButton(tr("&Fechar"));
    fechar->setObjectName(QStringLiteral("btnFechar"));
    fechar->setAutoDefault(false);
    FSalvar->setAutoDefault(false);
    rodape->addWidget(FSalvar);
    rodape->addWidget(fechar);
    layout->addLayout(rodape);
    connect(FSalvar, &QPushButton::clicked, this, [this] { Salvar(); });
    connect(fechar, &QPushButton::clicked, this, &QDialog::close);
    connect(FEditor, &TEditorProtocolo::Mudou, this, &TfrmEditorProtocolos::Mostrar);
    connect(FEditor->Pilha(), &QUndoStack::cleanChanged, this,
            &TfrmEditorProtocolos::AtualizarBotoes);
    resize(1360, 820);
    RecarregarLista(QString());
}

TfrmEditorProtocolos::~TfrmEditorProtocolos() = default;

QString TfrmEditorProtocolos::PastaRascunhos() const
{
    // Beside the protocols, in a folder the library does not read.
    return QDir(FBiblioteca.PastaUsuario()).filePath(QStringLiteral(".rascunhos"));
}

QWidget *TfrmEditorProtocolos::CriarLista()
{
    auto *painel = new QWidget;
    auto *layout = new QVBoxLayout(painel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Protocolos:")));
    FLista = new QListWidget;
    FLista->setObjectName(QStringLiteral("lstProtocolos"));
    layout->addWidget(FLista, 1);
    auto botao = [&](const QString &texto, const char *nome, void (TfrmEditorProtocolos::*acao)()) {
        auto *b = new QPushButton(texto);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, acao);
        layout->addWidget(b);
        return b;
    };
    botao(tr("Novo..."), "btnNovo", &TfrmEditorProtocolos::Novo);
    botao(tr("Duplicar..."), "btnDuplicar", &TfrmEditorProtocolos::Duplicar);
    FRenomear = botao(tr("Renomear..."), "btnRenomear", &TfrmEditorProtocolos::Renomear);
    FExcluir = botao(tr("Excluir"), "btnExcluir", &TfrmEditorProtocolos::Excluir);
    botao(tr("Importar..."), "btnImportar", &TfrmEditorProtocolos::Importar);
    botao(tr("Exportar..."), "btnExportar", &TfrmEditorProtocolos::Exportar);
    connect(FLista, &QListWidget::currentRowChanged, this, [this](int linha) {
        if (FbMostrando || linha < 0)
            return;
        const QString id = FLista->item(linha)->data(Qt::UserRole).toString();
        if (id == FEditor->Id())
            return;
        if (!PodeSair()) {  // back to the protocol being edited
            const QSignalBlocker bloqueio(FLista);
            for (int i = 0; i < FLista->count(); ++i)
                if (FLista->item(i)->data(Qt::UserRole).toString() == FEditor->Id())
                    FLista->setCurrentRow(i);
            return;
        }
        if (const std::optional<TProtocolo> p = FBiblioteca.Procurar(id))
            Abrir(*p);
    });
    return painel;
}

QWidget *TfrmEditorProtocolos::CriarEdicao()
{
    auto *painel = new QWidget;
    auto *layout = new QVBoxLayout(painel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *form = new QFormLayout;
    FNome = new QLineEdit;
    FNome->setObjectName(QStringLiteral("edtNome"));
    FDescricao = new QLineEdit;
    FDescricao->setObjectName(QStringLiteral("edtDescricao"));
    FFonte = new QLineEdit;
    FFonte->setObjectName(QStringLiteral("edtFonte"));
    FArquivo = new QLabel;
    FArquivo->setObjectName(QStringLiteral("lblArquivo"));
    FArquivo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Nome:"), FNome);
    form->addRow(tr("Descrição:"), FDescricao);
    form->addRow(tr("Fonte:"), FFonte);
    form->addRow(tr("Arquivo:"), FArquivo);
    layout->addLayout(form);
    connect(FNome, &QLineEdit::editingFinished, this,
            [this] { FEditor->AjustarNome(FNome->text()); });
    connect(FDescricao, &QLineEdit::editingFinished, this,
            [this] { FEditor->AjustarDescricao(FDescricao->text()); });
    connect(FFonte, &QLineEdit::editingFinished, this,
            [this] { FEditor->AjustarFonte(FFonte->text()); });
    FSoEditaveis << FNome << FDescricao << FFonte;

    auto *barra = new QHBoxLayout;
    auto acao = [&](const QString &texto, const char *nome, const std::function<void()> &f) {
        auto *b = new QPushButton(texto);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, f);
        barra->addWidget(b);
        FSoEditaveis << b;
    };
    auto inserir = [this](TPasso::TTipo tipo) {
        QTableWidget *t = FTabelas[size_t(FFaseAtual)];
        const int linha = t->currentRow() >= 0 ? t->currentRow() + 1 : t->rowCount();
        if (FEditor->Inserir(FFaseAtual, linha, tipo))
            t->setCurrentCell(linha, 1);
    };
    acao(tr("+ Estágio"), "btnNovoEstagio", [=] { inserir(TPasso::TTipo::Estagio); });
    acao(tr("+ Rampa"), "btnNovaRampa", [=] { inserir(TPasso::TTipo::Rampa); });
    acao(tr("Remover"), "btnRemover",
         [this] { AgirNaLinha([this](TFase f, int l) { FEditor->Remover(f, l); }); });
    acao(tr("Copiar"), "btnCopiar", [this] {
        AgirNaLinha([this](TFase f, int l) {
            if (FEditor->Copiar(f, l))
                FTabelas[size_t(f)]->setCurrentCell(l + 1, 1);
        });
    });
    acao(tr("Subir"), "btnSubir", [this] {
        AgirNaLinha([this](TFase f, int l) {
            if (FEditor->Mover(f, l, l - 1))
                FTabelas[size_t(f)]->setCurrentCell(l - 1, 1);
        });
    });
    acao(tr("Descer"), "btnDescer", [this] {
        AgirNaLinha([this](TFase f, int l) {
            if (FEditor->Mover(f, l, l + 1))
                FTabelas[size_t(f)]->setCurrentCell(l + 1, 1);
        });
    });
    barra->addStretch(1);
    QAction *desfazer = FEditor->Pilha()->createUndoAction(this, tr("Desfazer"));
    QAction *refazer = FEditor->Pilha()->createRedoAction(this, tr("Refazer"));
    desfazer->setShortcut(QKeySequence::Undo);
    refazer->setShortcut(QKeySequence::Redo);
    for (auto [acaoPilha, nome] :
         {std::pair{desfazer, "btnDesfazer"}, std::pair{refazer, "btnRefazer"}}) {
        auto *b = new QToolButton;
        b->setObjectName(QString::fromLatin1(nome));
        b->setDefaultAction(acaoPilha);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        addAction(acaoPilha);
        barra->addWidget(b);
    }
    layout->addLayout(barra);

    for (const TFase fase : kFases) {
        auto *rotulo = new QLabel(QStringLiteral("<b>%1</b>").arg(NomeFaseExibida(fase)));
        layout->addWidget(rotulo);
        FTabelas[size_t(fase)] = CriarTabela(fase);
        layout->addWidget(FTabelas[size_t(fase)], fase == TFase::Exercicio ? 3 : 1);
    }
    FProblemas = new QLabel;
    FProblemas->setObjectName(QStringLiteral("lblProblemas"));
    FProblemas->setWordWrap(true);
    FProblemas->setStyleSheet(QStringLiteral("color: #a00000;"));
    layout->addWidget(FProblemas);
    return painel;
}

QTableWidget *TfrmEditorProtocolos::CriarTabela(TFase fase)
{
    auto *tabela = new QTableWidget(0, 1 + TEditorProtocolo::kCampos);
    tabela->setObjectName(QStringLiteral("tbl") + TRegrasProtocolo::ChaveFase(fase));
    const QString v = FEditor->Unidade().Simbolo();
    tabela->setHorizontalHeaderLabels({tr("Tipo"), tr("Duração (min:s)"),
                                       tr("Velocidade (%1)").arg(v), tr("Inclinação (%)"),
                                       tr("Vel. final (%1)").arg(v), tr("Incl. final (%)")});
    tabela->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tabela->setSelectionMode(QAbstractItemView::SingleSelection);
    tabela->setEditTriggers(QAbstractItemView::AllEditTriggers);
    auto *delegado = new TDelegadoCampo(tabela);
    delegado->OnVerificar = [this, fase](const QModelIndex &i, const QString &texto) {
        return FEditor->ProblemaDoTexto(fase, i.row(), TCampo(i.column() - 1), texto);
    };
    delegado->OnProblema = [this](const QString &problema) { FDigitando->setText(problema); };
    tabela->setItemDelegate(delegado);
    connect(tabela, &QTableWidget::itemChanged, this, [this, fase](QTableWidgetItem *item) {
        if (FbMostrando || item->column() == kColunaTipo)
            return;
        FDigitando->clear();
        // Applied once the view has finished committing: the edit rebuilds the table's items.
        QMetaObject::invokeMethod(
            this,
            [this, fase, linha = item->row(), campo = TCampo(item->column() - 1),
             texto = item->text()] { FEditor->AjustarTexto(fase, linha, campo, texto); },
            Qt::QueuedConnection);
    });
    connect(tabela, &QTableWidget::currentCellChanged, this, [this, fase] {
        if (!FbMostrando)
            FFaseAtual = fase;
    });
    return tabela;
}

void TfrmEditorProtocolos::RecarregarLista(const QString &escolher)
{
    FBiblioteca.Recarregar();
    {
        FbMostrando = true;
        FLista->clear();
        for (const TProtocolo &p : FBiblioteca.Protocolos()) {
            auto *item = new QListWidgetItem(p.embutido ? p.nome + tr(" (embutido)") : p.nome);
            item->setData(Qt::UserRole, p.id);
            item->setToolTip(p.embutido ? tr("Somente leitura: use Duplicar")
                                        : FBiblioteca.Caminho(p.id));
            FLista->addItem(item);
        }
        FbMostrando = false;
    }
    const QString id = escolher.isEmpty() ? FEditor->Id() : escolher;
    for (int i = 0; i < FLista->count(); ++i)
        if (FLista->item(i)->data(Qt::UserRole).toString() == id) {
            const QSignalBlocker bloqueio(FLista);
            FLista->setCurrentRow(i);
        }
    const std::optional<TProtocolo> p = FBiblioteca.Procurar(id);
    if (p && (p->id != FEditor->Id() || !escolher.isEmpty()))
        Abrir(*p);
    else if (!p && FLista->count() > 0)
        FLista->setCurrentRow(0);
    if (!FBiblioteca.Erros().isEmpty())
        FLista->setToolTip(FBiblioteca.Erros().join(QLatin1Char('\n')));
}

void TfrmEditorProtocolos::Abrir(const TProtocolo &protocolo)
{
    FEditor->Abrir(protocolo);
    if (protocolo.embutido)
        return;
    const QString rascunho =
        QDir(PastaRascunhos()).filePath(protocolo.id + QStringLiteral(".json"));
    if (QFileInfo::exists(rascunho)) {
        const auto resposta =
            Perguntar(tr("Há uma edição não salva de \"%1\" (o programa foi fechado antes de "
                         "salvar). Recuperá-la?")
                          .arg(protocolo.nome),
                      QMessageBox::Yes | QMessageBox::No);
        if (resposta != QMessageBox::Yes || !FEditor->RestaurarRascunho(rascunho))
            QFile::remove(rascunho);
    }
    FEditor->AjustarRascunho(rascunho);
}

void TfrmEditorProtocolos::Mostrar()
{
    FbMostrando = true;
    const bool editavel = !FEditor->SomenteLeitura() && !FEditor->Id().isEmpty();
    for (QWidget *w : std::as_const(FSoEditaveis))
        w->setEnabled(editavel);
    FNome->setText(FEditor->Nome());
    FDescricao->setText(FEditor->Descricao());
    FFonte->setText(FEditor->Fonte());
    FArquivo->setText(FEditor->SomenteLeitura()
                          ? tr("protocolo embutido (somente leitura; use Duplicar)")
                          : FBiblioteca.Caminho(FEditor->Id()));
    for (const TFase fase : kFases)
        MostrarTabela(fase);
    QStringList problemas;
    QString problemaNome;
    for (const TEditorProtocolo::TProblema &p : FEditor->Problemas()) {
        problemas << p.texto;
        if (p.linha < 0 && p.fase == TFase::Exercicio && p.texto.contains(QLatin1String("nome")))
            problemaNome = p.texto;
    }
    FNome->setStyleSheet(problemaNome.isEmpty() ? QString()
                                                : QStringLiteral("background: #f8d0d0;"));
    FNome->setToolTip(problemaNome);
    FProblemas->setText(problemas.isEmpty()
                            ? QString()
                            : tr("Não pode ser salvo:\n") +
                                  problemas.mid(0, 6).join(QLatin1Char('\n')) +
                                  (problemas.size() > 6 ? QStringLiteral("\n...") : QString()));
    MostrarPrevia();
    FbMostrando = false;
    AtualizarBotoes();
}

void TfrmEditorProtocolos::MostrarTabela(TFase fase)
{
    QTableWidget *t = FTabelas[size_t(fase)];
    const int linhas = FEditor->Linhas(fase);
    t->setRowCount(linhas);
    int primeiro = 1;
    for (const TFase antes : kFases) {
        if (antes == fase)
            break;
        primeiro += FEditor->Linhas(antes);
    }
    for (int r = 0; r < linhas; ++r) {
        const TEditorProtocolo::TLinha l = FEditor->Linha(fase, r);
        const bool rampa = l.tipo == TPasso::TTipo::Rampa;
        if (!t->verticalHeaderItem(r))
            t->setVerticalHeaderItem(r, new QTableWidgetItem);
        t->verticalHeaderItem(r)->setText(QString::number(primeiro + r));
        auto *tipo = qobject_cast<QComboBox *>(t->cellWidget(r, kColunaTipo));
        if (!tipo) {
            tipo = new QComboBox;
            tipo->setObjectName(QStringLiteral("cmbTipo"));
            tipo->addItems({tr("Estágio"), tr("Rampa")});
            t->setCellWidget(r, kColunaTipo, tipo);
            connect(tipo, &QComboBox::activated, this, [this, fase, t, tipo](int indice) {
                for (int i = 0; i < t->rowCount(); ++i)
                    if (t->cellWidget(i, kColunaTipo) == tipo)
                        FEditor->AjustarTipo(
                            fase, i, indice == 1 ? TPasso::TTipo::Rampa : TPasso::TTipo::Estagio);
            });
        }
        tipo->setCurrentIndex(rampa ? 1 : 0);
        tipo->setEnabled(!FEditor->SomenteLeitura());
        const QStringList limitacoes = FEditor->Limitacoes(fase, r);
        for (int c = 0; c < TEditorProtocolo::kCampos; ++c) {
            const TCampo campo = TCampo(c);
            const bool usado =
                rampa || (campo != TCampo::VelocidadeFinal && campo != TCampo::InclinacaoFinal);
            // Items are updated in place: an editor open on one stays valid.
            QTableWidgetItem *item = t->item(r, 1 + c);
            if (!item) {
                item = new QTableWidgetItem;
                t->setItem(r, 1 + c, item);
            }
            item->setText(usado ? l.Texto(campo) : QString());
            const QString problema = FEditor->Problema(fase, r, campo);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (usado && !FEditor->SomenteLeitura())
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            item->setBackground(QBrush());
            item->setToolTip(QString());
            if (!problema.isEmpty()) {
                item->setBackground(kCorProblema);
                item->setToolTip(problema);
            } else if (usado && campo != TCampo::Duracao && !limitacoes.isEmpty()) {
                item->setBackground(kCorLimitacao);
                item->setToolTip(limitacoes.join(QLatin1Char('\n')));
            } else if (!usado) {
                item->setBackground(palette().color(QPalette::Window));
            }
        }
    }
}

void TfrmEditorProtocolos::MostrarPrevia()
{
    const TPreviaProtocolo &previa = FEditor->Previa();
    const TUnidadeVelocidade &u = FEditor->Unidade();
    const QString v = u.Simbolo();
    FGrafico->Mostrar(previa, u);
    FEtapas->clear();
    if (previa.Pontos().isEmpty()) {
        FResumo->setText(tr("Sem prévia enquanto houver campos com problema."));
        FLimitacoes->clear();
        return;
    }
    FResumo->setText(tr("Duração total: %1    Pico: %2 %3, %4 %    METs no pico: %5")
                         .arg(Tempo(previa.DuracaoMs()), u.Numero(previa.VelocidadePico()), v,
                              Um(previa.InclinacaoPico()), Um(previa.MetsPico())));
    for (const TPreviaProtocolo::TEtapa &e : previa.Etapas()) {
        auto *item = new QTreeWidgetItem(
            {QString::number(e.etapa.estagio), Tempo(e.etapa.inicioMs),
             Tempo(e.etapa.passo.duracaoMs),
             Faixa(u.Numero(e.velocidadeInicial), u.Numero(e.velocidadeFinal)),
             Faixa(e.inclinacaoInicial, e.inclinacaoFinal), Faixa(e.metsInicial, e.metsFinal)});
        if (!e.limitacoes.isEmpty()) {
            for (int c = 0; c < item->columnCount(); ++c) {
                item->setBackground(c, kCorLimitacao);
                item->setToolTip(c, e.limitacoes.join(QLatin1Char('\n')));
            }
        }
        FEtapas->addTopLevelItem(item);
    }
    FLimitacoes->setText(previa.Limitacoes().isEmpty()
                             ? QString()
                             : tr("A esteira não aceita estes valores como estão; o teste só roda "
                                  "com \"Aceitar limitação à faixa da esteira\":\n") +
                                   previa.Limitacoes().join(QLatin1Char('\n')));
}

QWidget *TfrmEditorProtocolos::CriarPrevia()
{
    auto *painel = new QWidget;
    auto *layout = new QVBoxLayout(painel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("<b>Prévia: o que a esteira receberá</b>")));
    FGrafico = new TGraficoPrevia;
    layout->addWidget(FGrafico, 2);
    FResumo = new QLabel;
    FResumo->setObjectName(QStringLiteral("lblResumo"));
    FResumo->setWordWrap(true);
    layout->addWidget(FResumo);
    FEtapas = new QTreeWidget;
    FEtapas->setObjectName(QStringLiteral("lstPrevia"));
    FEtapas->setRootIsDecorated(false);
    FEtapas->setHeaderLabels({tr("Est."), tr("Início"), tr("Duração"), FEditor->Unidade().Simbolo(),
                              QStringLiteral("%"), QStringLiteral("METs")});
    FEtapas->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(FEtapas, 3);
    FLimitacoes = new QLabel;
    FLimitacoes->setObjectName(QStringLiteral("lblLimitacoes"));
    FLimitacoes->setWordWrap(true);
    FLimitacoes->setStyleSheet(QStringLiteral("color: #8a4b00;"));
    layout->addWidget(FLimitacoes);
    return painel;
}

void TfrmEditorProtocolos::AtualizarBotoes()
{
    const bool usuario = !FEditor->SomenteLeitura() && !FEditor->Id().isEmpty();
    FSalvar->setEnabled(usuario && FEditor->Valido() && FEditor->Modificado());
    FRenomear->setEnabled(usuario);
    FExcluir->setEnabled(usuario);
    setWindowTitle(
        tr("Editor de protocolos - %1%2")
            .arg(FEditor->Nome(), FEditor->Modificado() ? QStringLiteral(" *") : QString()));
}

bool TfrmEditorProtocolos::Salvar()
{
    QString erro;
    if (!FEditor->Salvar(FBiblioteca.PastaUsuario(), &erro)) {
        ShowErrorMessage(tr("O protocolo não foi salvo: %1").arg(erro));
        return false;
    }
    FbAlterou = true;
    RecarregarLista(FEditor->Id());
    return true;
}

bool TfrmEditorProtocolos::PodeSair()
{
    if (!FEditor->Modificado())
        return true;
    const auto resposta =
        Perguntar(QStringLiteral("\"%1\" tem alterações não salvas. Salvar antes de sair?")
                      .arg(FEditor->Nome()),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (resposta == QMessageBox::Save)
        return Salvar();
    if (resposta == QMessageBox::Discard) {
        FEditor->DescartarRascunho();
        FEditor->Pilha()->setClean();
        return true;
    }
    return false;
}

bool TfrmEditorProtocolos::Selecionar(const QString &id)
{
    for (int i = 0; i < FLista->count(); ++i)
        if (FLista->item(i)->data(Qt::UserRole).toString().compare(id, Qt::CaseInsensitive) == 0) {
            FLista->setCurrentRow(i);
            return FEditor->Id().compare(id, Qt::CaseInsensitive) == 0;
        }
    return false;
}

void TfrmEditorProtocolos::Novo()
{
    if (!PodeSair())
        return;
    QString nome = tr("Novo protocolo");
    if (!InputQuery(tr("Novo protocolo"), tr("Nome do protocolo:"), nome) ||
        nome.trimmed().isEmpty())
        return;
    TProtocolo p;
    p.nome = nome.trimmed();
    p.id = FBiblioteca.IdLivre(p.nome);
    p.exercicio = {TPasso::Estagio(3 * 60000, 2.7, 0)};
    p.recuperacao = {TPasso::Estagio(3 * 60000, 2.5, 0)};
    QString erro;
    if (!FBiblioteca.Gravar(p, &erro))
        return ShowErrorMessage(erro);
    FbAlterou = true;
    RecarregarLista(p.id);
}

void TfrmEditorProtocolos::Duplicar()
{
    if (!PodeSair())
        return;
    TProtocolo p = FEditor->Protocolo();
    if (!FEditor->Valido())
        return ShowErrorMessage(tr("Corrija os campos marcados antes de duplicar."));
    QString nome = tr("%1 (cópia)").arg(p.nome);
    if (!InputQuery(tr("Duplicar protocolo"), tr("Nome da cópia:"), nome) ||
        nome.trimmed().isEmpty())
        return;
    p.nome = nome.trimmed();
    p.id = FBiblioteca.IdLivre(p.nome);
    p.embutido = false;
    QString erro;
    if (!FBiblioteca.Gravar(p, &erro))
        return ShowErrorMessage(erro);
    FbAlterou = true;
    RecarregarLista(p.id);
}

void TfrmEditorProtocolos::Renomear()
{
    if (FEditor->SomenteLeitura() || !PodeSair())
        return;
    QString nome = FEditor->Nome();
    if (!InputQuery(tr("Renomear protocolo"), tr("Novo nome (o arquivo acompanha o nome):"), nome))
        return;
    QString id, erro;
    if (!FBiblioteca.Renomear(FEditor->Id(), nome, &id, &erro))
        return ShowErrorMessage(erro);
    FbAlterou = true;
    RecarregarLista(id);
}

void TfrmEditorProtocolos::Excluir()
{
    if (FEditor->SomenteLeitura())
        return;
    if (Perguntar(tr("Excluir o protocolo \"%1\"?\nOs testes já gravados com ele "
                     "continuam com o nome e os passos que usaram.")
                      .arg(FEditor->Nome()),
                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QString erro;
    FEditor->DescartarRascunho();
    if (!FBiblioteca.Excluir(FEditor->Id(), &erro))
        return ShowErrorMessage(erro);
    FEditor->Pilha()->setClean();
    FbAlterou = true;
    FEditor->Abrir(TProtocolo{});
    RecarregarLista(QString());
}

void TfrmEditorProtocolos::Importar()
{
    if (!PodeSair())
        return;
    const QString caminho =
        OnEscolherArquivo ? OnEscolherArquivo(false, QString())
                          : QFileDialog::getOpenFileName(this, tr("Importar protocolo"), QString(),
                                                         tr("Protocolos (*.json)"));
    if (caminho.isEmpty())
        return;
    const QString id = QFileInfo(caminho).completeBaseName().toLower();
    if (FBiblioteca.Procurar(id) && !TBibliotecaProtocolos::IdEmbutido(id) &&
        Perguntar(tr("Já existe o protocolo \"%1\". Substituí-lo?").arg(id),
                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QString erro;
    if (!FBiblioteca.Importar(caminho, &erro))
        return ShowErrorMessage(erro);
    FbAlterou = true;
    RecarregarLista(id);
}

void TfrmEditorProtocolos::Exportar()
{
    if (!PodeSair())
        return;
    const std::optional<TProtocolo> p = FBiblioteca.Procurar(FEditor->Id());
    if (!p)
        return;
    const QString proposto = p->id + QStringLiteral(".json");
    const QString caminho = OnEscolherArquivo
                                ? OnEscolherArquivo(true, proposto)
                                : QFileDialog::getSaveFileName(this, tr("Exportar protocolo"),
                                                               proposto, tr("Protocolos (*.json)"));
    QString erro;
    if (!caminho.isEmpty() && !TBibliotecaProtocolos::Exportar(*p, caminho, &erro))
        ShowErrorMessage(erro);
}

void TfrmEditorProtocolos::AgirNaLinha(const std::function<void(TFase, int)> &acao)
{
    QTableWidget *t = FTabelas[size_t(FFaseAtual)];
    if (t->currentRow() >= 0)
        acao(FFaseAtual, t->currentRow());
}

QMessageBox::StandardButton TfrmEditorProtocolos::Perguntar(const QString &texto,
                                                            QMessageBox::StandardButtons botoes)
{
    if (OnPerguntar)
        return OnPerguntar(texto, botoes);
    return QMessageBox::question(this, windowTitle(), texto, botoes);
}

void TfrmEditorProtocolos::closeEvent(QCloseEvent *event)
{
    if (PodeSair())
        event->accept();
    else
        event->ignore();
}

void TfrmEditorProtocolos::reject()
{
    if (PodeSair())
        QDialog::reject();
}
