#include "console/fresultados.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrmResultados::TfrmResultados(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgResultados"));
    auto *layout = new QVBoxLayout(this);
    FLista = new QTreeWidget;
    FLista->setObjectName(QStringLiteral("lstResultados"));
    FLista->setColumnCount(2);
    FLista->setHeaderLabels({tr("Resultado"), tr("Valor")});
    FLista->setRootIsDecorated(false);
    FLista->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(FLista);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(botoes);
    resize(620, 520);
}

void TfrmResultados::Mostrar(const TRelatorioSessao::TDados &dados)
{
    setWindowTitle(tr("Resultados do teste %1 — %2").arg(dados.sessao.id).arg(dados.paciente.nome));
    FLista->clear();
    for (const TRelatorioSessao::TLinhaResultado &linha : dados.resultados) {
        auto *item = new QTreeWidgetItem(FLista, {linha.rotulo, linha.valor});
        if (linha.alerta)
            for (int c = 0; c < 2; ++c) {
                item->setForeground(c, QColor(0xc0, 0, 0));
                QFont fonte = item->font(c);
                fonte.setBold(true);
                item->setFont(c, fonte);
            }
    }
    for (const QString &aviso : dados.avisos)
        new QTreeWidgetItem(FLista, {tr("Aviso"), aviso});
}
