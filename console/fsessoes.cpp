#include "console/fsessoes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "chart/vtxgraph.h"
#include "components/dbgridkpr.h"
#include "console/fconfiguracoes.h"
#include "console/preferencias.h"
#include "console/textoevento.h"
#include "session/bancosessoes.h"
#include "session/graficocardiaco.h"
#include "session/graficosessao.h"
#include "session/resumosessao.h"

TfrmSessoes::TfrmSessoes(TBancoSessoes *banco, QWidget *parent) : QDialog(parent), FBanco(banco)
{
    setWindowTitle(tr("Sessões gravadas"));
    resize(1100, 760);
    auto *layout = new QVBoxLayout(this);
    auto *busca = new QHBoxLayout;
    FBusca = new QLineEdit;
    FBusca->setObjectName(QStringLiteral("edtBuscaSessoes"));
    FBusca->setPlaceholderText(tr("Buscar por paciente, identificador, protocolo ou data"));
    FBusca->setClearButtonEnabled(true);
    FContagem = new QLabel;
    FContagem->setObjectName(QStringLiteral("lblContagemSessoes"));
    FEstacao = new QComboBox;
    FEstacao->setObjectName(QStringLiteral("cmbEstacao"));
    auto *atualizar = new QPushButton(tr("Atualizar"));
    atualizar->setObjectName(QStringLiteral("btnAtualizarSessoes"));
    busca->addWidget(FBusca, 1);
    busca->addWidget(new QLabel(tr("Estação:")));
    busca->addWidget(FEstacao);
    busca->addWidget(atualizar);
    busca->addWidget(FContagem);
    layout->addLayout(busca);
    FGrade = new TDBGridKpr;
    FGrade->setObjectName(QStringLiteral("gradeSessoes"));
    FModelo = new QSqlQueryModel(this);
    ListarEstacoes();
    FModelo->setQuery(FBanco->ConsultarSessoes());
    FGrade->setModel(FModelo);
    FGrade->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrade->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrade->horizontalHeader()->setStretchLastSection(true);
    FGrade->verticalHeader()->hide();
    // The charts have the fixed size of their axes: in a scroll area they no longer take the
    // list's room, and the operator moves the split. The heart rate is under the belt, both
    // centred, so their plots (as wide, with equal margins each side) share the time axis; their
    // divisions are small enough for the two to show together beside the events.
    auto *detalhe = new QWidget;
    auto *detalheLayout = new QHBoxLayout(detalhe);
    detalheLayout->setContentsMargins(0, 0, 0, 0);
    FGrafico = new TvtxGraph;
    FGrafico->setObjectName(QStringLiteral("graficoSessao"));
    FDesenho = std::make_unique<TGraficoSessao>(
        *FGrafico, TfrmConfiguracoes::Escala(TfrmConfiguracoes::UnidadeVelocidade()));
    FDesenho->Preparar();
    FGraficoCardiaco = new TvtxGraph;
    FGraficoCardiaco->setObjectName(QStringLiteral("graficoCardiacoSessao"));
    for (TvtxGraph *g : {FGrafico, FGraficoCardiaco}) {
        g->XAxis()->SetDivisionWidth(52);
        g->YAxis()->SetDivisionWidth(28);
    }
    FDesenhoCardiaco = std::make_unique<TGraficoCardiaco>(*FGraficoCardiaco);
    FDesenhoCardiaco->Preparar();
    auto *graficos = new QWidget;
    auto *coluna = new QVBoxLayout(graficos);
    coluna->addWidget(FGrafico, 0, Qt::AlignHCenter);
    coluna->addWidget(FGraficoCardiaco, 0, Qt::AlignHCenter);
    auto *rolagem = new QScrollArea;
    rolagem->setWidget(graficos);
    rolagem->setAlignment(Qt::AlignCenter);
    detalheLayout->addWidget(rolagem, 2);
    auto *direita = new QVBoxLayout;
    FResumo = new QLabel;
    FResumo->setWordWrap(true);
    direita->addWidget(FResumo);
    FEventos = new QListWidget;
    FEventos->setObjectName(QStringLiteral("lstEventosSessao"));
    direita->addWidget(FEventos, 1);
    detalheLayout->addLayout(direita, 1);
    FDivisao = new QSplitter(Qt::Vertical);
    FDivisao->setObjectName(QStringLiteral("divisaoSessoes"));
    FDivisao->addWidget(FGrade);
    FDivisao->addWidget(detalhe);
    FDivisao->setChildrenCollapsible(false);
    FDivisao->setSizes({320, 400});
    layout->addWidget(FDivisao, 1);
    auto *botoes = new QHBoxLayout;
    auto *pdf = new QPushButton(tr("Relatório em PDF..."));
    auto *imprimir = new QPushButton(tr("Imprimir relatório"));
    auto *csv = new QPushButton(tr("Exportar CSV..."));
    pdf->setObjectName(QStringLiteral("btnRelatorioPdf"));
    imprimir->setObjectName(QStringLiteral("btnImprimir"));
    csv->setObjectName(QStringLiteral("btnCsv"));
    FDialogos = {pdf, imprimir, csv};
    FSeparadorLocal = new QCheckBox(tr("Separador decimal do sistema"));
    auto *fechar = new QPushButton(tr("Fechar"));
    for (QWidget *w : std::initializer_list<QWidget *>{pdf, imprimir, csv, FSeparadorLocal})
        botoes->addWidget(w);
    botoes->addStretch(1);
    botoes->addWidget(fechar);
    layout->addLayout(botoes);

    QSettings preferencias = PreferenciasConsole();
    restoreGeometry(preferencias.value(QStringLiteral("sessoes/geometria")).toByteArray());
    FDivisao->restoreState(preferencias.value(QStringLiteral("sessoes/divisao")).toByteArray());

    FGrade->OnDepoisScroll = [this](QObject *) { Mostrar(SessaoSelecionada()); };
    connect(FBusca, &QLineEdit::textChanged, this, &TfrmSessoes::Filtrar);
    connect(FEstacao, &QComboBox::currentIndexChanged, this, &TfrmSessoes::Atualizar);
    connect(atualizar, &QPushButton::clicked, this, &TfrmSessoes::Atualizar);
    connect(fechar, &QPushButton::clicked, this, &QDialog::close);
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString arquivo =
            SalvarComo(tr("Salvar relatório"), QStringLiteral("pdf"), tr("PDF (*.pdf)"));
        if (!arquivo.isEmpty() && OnRelatorio)
            OnRelatorio(SessaoSelecionada(), arquivo);
    });
    connect(imprimir, &QPushButton::clicked, this, [this] {
        if (const qint64 id = SessaoSelecionada(); id && OnRelatorio)
            OnRelatorio(id, QString());
    });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString arquivo =
            SalvarComo(tr("Exportar CSV"), QStringLiteral("csv"), tr("CSV (*.csv)"));
        if (!arquivo.isEmpty() && OnCsv)
            OnCsv(SessaoSelecionada(), arquivo, FSeparadorLocal->isChecked());
    });
    Filtrar(QString());
    if (FModelo->rowCount() > 0)
        FGrade->setCurrentIndex(FModelo->index(0, 0));
}

TfrmSessoes::~TfrmSessoes()
{
    GuardarAparencia();
}

void TfrmSessoes::done(int resultado)
{
    GuardarAparencia();
    QDialog::done(resultado);
}

void TfrmSessoes::GuardarAparencia() const
{
    QSettings preferencias = PreferenciasConsole();
    preferencias.setValue(QStringLiteral("sessoes/geometria"), saveGeometry());
    preferencias.setValue(QStringLiteral("sessoes/divisao"), FDivisao->saveState());
}

QString TfrmSessoes::SalvarComo(const QString &titulo, const QString &extensao,
                                const QString &filtro)
{
    const qint64 id = SessaoSelecionada();
    if (!id)
        return QString();
    const QString arquivo =
        QFileDialog::getSaveFileName(this, titulo, ArquivoProposto(*FBanco, id, extensao), filtro);
    if (!arquivo.isEmpty())
        LembrarPasta(arquivo);
    return arquivo;
}

QString TfrmSessoes::ArquivoProposto(const TBancoSessoes &banco, qint64 sessao,
                                     const QString &extensao)
{
    const std::optional<TSessao> s = banco.LerSessao(sessao);
    QString nome = s ? banco.LerPaciente(s->pacienteId).value_or(TPaciente{}).nome : QString();
    // Characters no file system takes (Windows' reserved ones, controls) become a dash.
    nome.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")),
                 QStringLiteral("-"));
    nome = nome.simplified();
    while (nome.endsWith(QLatin1Char('.')))  // Windows drops a trailing dot
        nome.chop(1);
    QStringList partes;
    partes << (nome.isEmpty() ? QStringLiteral("Teste %1").arg(sessao) : nome);
    if (s && s->inicio.isValid())
        partes << s->inicio.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH'h'mm"));
    QString pasta = PreferenciasConsole().value(QStringLiteral("arquivos/pasta")).toString();
    if (pasta.isEmpty() || !QFileInfo(pasta).isDir())
        pasta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(pasta).filePath(partes.join(QLatin1Char(' ')) + QLatin1Char('.') + extensao);
}

void TfrmSessoes::LembrarPasta(const QString &arquivo)
{
    PreferenciasConsole().setValue(QStringLiteral("arquivos/pasta"),
                                   QFileInfo(arquivo).absolutePath());
}

bool TfrmSessoes::Selecionar(qint64 sessao)
{
    FBusca->clear();
    for (int linha = 0; linha < FModelo->rowCount(); ++linha)
        if (FModelo->index(linha, 0).data().toLongLong() == sessao) {
            FGrade->setCurrentIndex(FModelo->index(linha, 0));
            FGrade->scrollTo(FGrade->currentIndex());
            return true;
        }
    return false;
}

void TfrmSessoes::ListarEstacoes()
{
    const QString escolhida = FEstacao->currentData().toString();
    const QSignalBlocker bloqueio(FEstacao);
    FEstacao->clear();
    FEstacao->addItem(tr("Todas"), QString());
    for (const QString &estacao : FBanco->Estacoes())
        FEstacao->addItem(estacao, estacao);
    FEstacao->setCurrentIndex(std::max(0, FEstacao->findData(escolhida)));
}

void TfrmSessoes::Atualizar()
{
    const qint64 atual = SessaoSelecionada();
    ListarEstacoes();
    FModelo->setQuery(FBanco->ConsultarSessoes(FEstacao->currentData().toString()));
    Filtrar(FBusca->text());
    if (atual)
        for (int linha = 0; linha < FModelo->rowCount(); ++linha)
            if (FModelo->index(linha, 0).data().toLongLong() == atual &&
                !FGrade->isRowHidden(linha))
                FGrade->setCurrentIndex(FModelo->index(linha, 0));
    Mostrar(SessaoSelecionada());
}

void TfrmSessoes::Filtrar(const QString &texto)
{
    while (FModelo->canFetchMore())  // the search covers every session, not the first screenful
        FModelo->fetchMore();
    const QStringList palavras =
        TBancoSessoes::TextoDeBusca(texto).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int mostradas = 0, primeira = -1;
    for (int linha = 0; linha < FModelo->rowCount(); ++linha) {
        QString campos;
        for (int coluna : {1, 2, 3, 4})
            campos += FModelo->index(linha, coluna).data().toString() + QLatin1Char(' ');
        campos = TBancoSessoes::TextoDeBusca(campos);
        const bool mostrar = std::all_of(palavras.begin(), palavras.end(),
                                         [&](const QString &p) { return campos.contains(p); });
        FGrade->setRowHidden(linha, !mostrar);
        if (mostrar && primeira < 0)
            primeira = linha;
        mostradas += mostrar;
    }
    FContagem->setText(tr("%1 de %2 sessões").arg(mostradas).arg(FModelo->rowCount()));
    const QModelIndex atual = FGrade->currentIndex();
    if (primeira >= 0 && (!atual.isValid() || FGrade->isRowHidden(atual.row())))
        FGrade->setCurrentIndex(FModelo->index(primeira, 0));
    else if (primeira < 0)
        Mostrar(0);
}

void TfrmSessoes::AjustarEmTeste(bool emTeste)
{
    for (QWidget *w : FDialogos)
        w->setEnabled(!emTeste);
}

qint64 TfrmSessoes::SessaoSelecionada() const
{
    const QModelIndex atual = FGrade->currentIndex();
    return atual.isValid() ? FModelo->index(atual.row(), 0).data().toLongLong() : 0;
}

void TfrmSessoes::Mostrar(qint64 sessaoId)
{
    FEventos->clear();
    if (!sessaoId) {
        FResumo->clear();
        FDesenho->Preparar();
        FDesenhoCardiaco->Preparar();
        return;
    }
    const QList<TAmostraRegistro> amostras = FBanco->LerAmostras(sessaoId);
    const QList<TEventoRegistro> eventos = FBanco->LerEventos(sessaoId);
    FDesenho->Redesenhar(amostras, eventos);
    FDesenhoCardiaco->Redesenhar(amostras, eventos);
    const TUnidadeVelocidade unidade = TfrmConfiguracoes::UnidadeVelocidade();
    for (const TEventoRegistro &e : eventos)
        if (e.tipo != QLatin1String("alvo"))
            FEventos->addItem(QStringLiteral("%1  %2").arg(
                TResumoSessao::Tempo(e.tempoMs), unidade.TextoNaUnidade(TTextoEvento::Exibido(e))));
    if (const std::optional<TSessao> s = FBanco->LerSessao(sessaoId))
        FResumo->setText(
            tr("%1 — %2, %3. Motivo: %4")
                .arg(s->protocoloNome, TResumoSessao::Tempo(s->duracaoMs),
                     TBancoSessoes::NomeSituacao(s->situacao),
                     s->motivoParada.isEmpty() ? QStringLiteral("-") : s->motivoParada));
}
