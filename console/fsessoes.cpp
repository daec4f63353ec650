#include "console/fsessoes.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QVBoxLayout>

#include "chart/vtxgraph.h"
#include "components/dbgridkpr.h"
#include "session/bancosessoes.h"
#include "session/graficosessao.h"
#include "session/resumosessao.h"

TfrmSessoes::TfrmSessoes(TBancoSessoes *banco, QWidget *parent) : QDialog(parent), FBanco(banco)
{
    setWindowTitle(QStringLiteral("Sessões gravadas"));
    resize(1100, 700);
    auto *layout = new QVBoxLayout(this);
    FGrade = new TDBGridKpr;
    FGrade->setObjectName(QStringLiteral("gradeSessoes"));
    FModelo = new QSqlQueryModel(this);
    FModelo->setQuery(QSqlQuery(TBancoSessoes::ConsultaSessoes(), FBanco->Conexao()));
    FGrade->setModel(FModelo);
    FGrade->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrade->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrade->horizontalHeader()->setStretchLastSection(true);
    FGrade->verticalHeader()->hide();
    layout->addWidget(FGrade, 1);
    auto *detalhe = new QHBoxLayout;
    FGrafico = new TvtxGraph;
    FDesenho = std::make_unique<TGraficoSessao>(*FGrafico);
    FDesenho->Preparar();
    detalhe->addWidget(FGrafico);
    auto *direita = new QVBoxLayout;
    FResumo = new QLabel;
    FResumo->setWordWrap(true);
    direita->addWidget(FResumo);
    FEventos = new QListWidget;
    direita->addWidget(FEventos, 1);
    detalhe->addLayout(direita, 1);
    layout->addLayout(detalhe, 1);
    auto *botoes = new QHBoxLayout;
    auto *pdf = new QPushButton(QStringLiteral("Relatório em PDF..."));
    auto *imprimir = new QPushButton(QStringLiteral("Imprimir relatório"));
    auto *csv = new QPushButton(QStringLiteral("Exportar CSV..."));
    pdf->setObjectName(QStringLiteral("btnRelatorioPdf"));
    imprimir->setObjectName(QStringLiteral("btnImprimir"));
    csv->setObjectName(QStringLiteral("btnCsv"));
    FDialogos = {pdf, imprimir, csv};
    FSeparadorLocal = new QCheckBox(QStringLiteral("Separador decimal do sistema"));
    auto *fechar = new QPushButton(QStringLiteral("Fechar"));
    for (QWidget *w : std::initializer_list<QWidget *>{pdf, imprimir, csv, FSeparadorLocal})
        botoes->addWidget(w);
    botoes->addStretch(1);
    botoes->addWidget(fechar);
    layout->addLayout(botoes);

    FGrade->OnDepoisScroll = [this](QObject *) { Mostrar(SessaoSelecionada()); };
    connect(fechar, &QPushButton::clicked, this, &QDialog::close);
    connect(pdf, &QPushButton::clicked, this, [this] {
        const qint64 id = SessaoSelecionada();
        const QString arquivo = QFileDialog::getSaveFileName(
            this, QStringLiteral("Salvar relatório"), QStringLiteral("teste-%1.pdf").arg(id),
            QStringLiteral("PDF (*.pdf)"));
        if (id && !arquivo.isEmpty() && OnRelatorio)
            OnRelatorio(id, arquivo);
    });
    connect(imprimir, &QPushButton::clicked, this, [this] {
        if (const qint64 id = SessaoSelecionada(); id && OnRelatorio)
            OnRelatorio(id, QString());
    });
    connect(csv, &QPushButton::clicked, this, [this] {
        const qint64 id = SessaoSelecionada();
        const QString arquivo = QFileDialog::getSaveFileName(this, QStringLiteral("Exportar CSV"),
                                                             QStringLiteral("teste-%1.csv").arg(id),
                                                             QStringLiteral("CSV (*.csv)"));
        if (id && !arquivo.isEmpty() && OnCsv)
            OnCsv(id, arquivo, FSeparadorLocal->isChecked());
    });
    if (FModelo->rowCount() > 0)
        FGrade->setCurrentIndex(FModelo->index(0, 0));
}

TfrmSessoes::~TfrmSessoes() = default;

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
    if (!sessaoId)
        return;
    const QList<TAmostraRegistro> amostras = FBanco->LerAmostras(sessaoId);
    const QList<TEventoRegistro> eventos = FBanco->LerEventos(sessaoId);
    FDesenho->Redesenhar(amostras, eventos);
    for (const TEventoRegistro &e : eventos)
        if (e.tipo != QLatin1String("alvo"))
            FEventos->addItem(
                QStringLiteral("%1  %2").arg(TResumoSessao::Tempo(e.tempoMs), e.texto));
    if (const std::optional<TSessao> s = FBanco->LerSessao(sessaoId))
        FResumo->setText(
            QStringLiteral("%1 — %2, %3. Motivo: %4")
                .arg(s->protocoloNome, TResumoSessao::Tempo(s->duracaoMs),
                     TBancoSessoes::NomeSituacao(s->situacao),
                     s->motivoParada.isEmpty() ? QStringLiteral("-") : s->motivoParada));
}
