#include "app/escolherporta.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "comm/portname.h"

using kestrova::comm::TSerialPortEntry;

namespace {

enum TColuna { kDispositivo, kDescricao, kFabricante, kSerie, kUsb, kSituacao, kColunas };

}  // namespace

TfrmEscolherPorta::TfrmEscolherPorta(unsigned porta, const QList<TSerialPortEntry> &portas,
                                     QWidget *parent)
    : QDialog(parent), FPorta(porta), FPortas(portas), FTabela(new QTableWidget(this))
{
    setObjectName(QStringLiteral("frmEscolherPorta"));
    setWindowTitle(tr("Porta serial de COM%1").arg(porta));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Escolha o dispositivo da porta COM%1:").arg(porta), this));
    FTabela->setObjectName(QStringLiteral("tblPortas"));
    layout->addWidget(FTabela);
    if (kestrova::comm::PortDeviceSource(porta) == kestrova::comm::TPortNameSource::environment) {
        auto *aviso = new QLabel(tr("KESTROVA_COM%1 está definida no ambiente e "
                                    "prevalece sobre a escolha feita aqui.")
                                     .arg(porta),
                                 this);
        aviso->setObjectName(QStringLiteral("lblAmbiente"));
        aviso->setWordWrap(true);
        layout->addWidget(aviso);
    }
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Ok)->setText(tr("Usar"));
    botoes->button(QDialogButtonBox::Cancel)->setText(tr("Cancelar"));
    QPushButton *padrao = botoes->addButton(tr("Padrão"), QDialogButtonBox::ResetRole);
    padrao->setObjectName(QStringLiteral("btnPadrao"));
    padrao->setToolTip(tr("COM%1 volta a ser /dev/ttyS%2").arg(porta).arg(porta - 1));
    layout->addWidget(botoes);
    connect(botoes, &QDialogButtonBox::accepted, this, [this] { Escolher(); });
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(padrao, &QPushButton::clicked, this, [this] {
        FEscolhido.clear();
        accept();
    });
    connect(FTabela, &QTableWidget::cellDoubleClicked, this, [this] { Escolher(); });
    Preencher();
    resize(760, 300);
}

QString TfrmEscolherPorta::Situacao(unsigned porta, const TSerialPortEntry &entrada)
{
    QStringList partes;
    for (unsigned mapeada : entrada.mappedPorts)
        partes << (mapeada == porta ? tr("COM%1 (esta porta)").arg(mapeada)
                                    : QStringLiteral("COM%1").arg(mapeada));
    if (entrada.inUse)
        partes << tr("em uso");
    return partes.join(QStringLiteral(", "));
}

void TfrmEscolherPorta::Preencher()
{
    FTabela->setColumnCount(kColunas);
    FTabela->setHorizontalHeaderLabels({tr("Dispositivo"), tr("Descrição"), tr("Fabricante"),
                                        tr("Nº de série"), QStringLiteral("USB"), tr("Situação")});
    FTabela->setRowCount(int(FPortas.size()));
    FTabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTabela->setSelectionMode(QAbstractItemView::SingleSelection);
    FTabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTabela->verticalHeader()->hide();
    for (int linha = 0; linha < FPortas.size(); ++linha) {
        const TSerialPortEntry &entrada = FPortas.at(linha);
        const QString textos[kColunas] = {entrada.device,       entrada.description,
                                          entrada.manufacturer, entrada.serialNumber,
                                          UsbIds(entrada),      Situacao(FPorta, entrada)};
        const bool desta = entrada.mappedPorts.contains(FPorta);
        for (int coluna = 0; coluna < kColunas; ++coluna) {
            auto *item = new QTableWidgetItem(textos[coluna]);
            QFont fonte = item->font();
            fonte.setBold(desta);
            item->setFont(fonte);
            if (coluna == kDispositivo && entrada.stableName != entrada.device)
                item->setToolTip(entrada.stableName);
            FTabela->setItem(linha, coluna, item);
        }
        if (desta)
            FTabela->selectRow(linha);
    }
    FTabela->resizeColumnsToContents();
    FTabela->horizontalHeader()->setStretchLastSection(true);
}

void TfrmEscolherPorta::Escolher()
{
    const int linha = FTabela->currentRow();
    if (linha < 0 || linha >= FPortas.size())
        return;
    // The name that survives re-plugging the adapter into another socket.
    FEscolhido = FPortas.at(linha).stableName.isEmpty() ? FPortas.at(linha).device
                                                        : FPortas.at(linha).stableName;
    accept();
}
