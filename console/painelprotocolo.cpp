#include "console/painelprotocolo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "clinical/equacoesmetabolicas.h"
#include "console/caixavelocidade.h"
#include "platform/messagebox.h"
#include "protocol/faixaesteira.h"
#include "protocol/geradorrampa.h"
#include "session/resumosessao.h"

namespace {

const QString kRampa = QStringLiteral("rampa");

QDoubleSpinBox *Numero(double minimo, double maximo, double valor, double passo, int casas,
                       const QString &sufixo)
{
    auto *caixa = new QDoubleSpinBox;
    caixa->setRange(minimo, maximo);
    caixa->setDecimals(casas);
    caixa->setSingleStep(passo);
    caixa->setValue(valor);
    caixa->setSuffix(sufixo);
    return caixa;
}

struct TPassoFase {
    const char *fase;
    const QList<TPasso> *passos;
};

}  // namespace

TPainelProtocolo::TPainelProtocolo(QWidget *parent) : QGroupBox(tr("Protocolo"), parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *linha = new QHBoxLayout;
    FEscolha = new QComboBox;
    FEscolha->setObjectName(QStringLiteral("cmbProtocolo"));
    auto *importar = new QPushButton(tr("Importar..."));
    linha->addWidget(FEscolha, 1);
    linha->addWidget(importar);
    layout->addLayout(linha);
    FRampa = CriarRampa();
    layout->addWidget(FRampa);
    FPassos = new QTreeWidget;
    FPassos->setObjectName(QStringLiteral("lstPassos"));
    FPassos->setHeaderLabels({tr("Fase"), tr("Estágio"), tr("Duração"), tr("Velocidade"),
                              tr("Inclinação"), QStringLiteral("METs")});
    FPassos->setRootIsDecorated(false);
    FPassos->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(FPassos, 1);
    FAvisos = new QLabel;
    FAvisos->setWordWrap(true);
    FAvisos->setStyleSheet(QStringLiteral("color: #a00000;"));
    layout->addWidget(FAvisos);
    layout->addWidget(CriarLimites());
    connect(FEscolha, &QComboBox::currentIndexChanged, this, [this] {
        FRampa->setVisible(FEscolha->currentData().toString() == kRampa);
        MostrarPassos();
        emit ProtocoloMudou();
    });
    connect(importar, &QPushButton::clicked, this, &TPainelProtocolo::Importar);
    Recarregar();
}

QWidget *TPainelProtocolo::CriarRampa()
{
    auto *rampa = new QWidget;
    auto *form = new QFormLayout(rampa);
    form->setContentsMargins(0, 0, 0, 0);
    FRampaVelIni = new TCaixaVelocidade(1.5, 18, 2.7);
    FRampaIncIni = Numero(0, 25, 0, 0.5, 1, QStringLiteral(" %"));
    FRampaVelPico = new TCaixaVelocidade(1.5, 18, 8);
    FRampaIncPico = Numero(0, 25, 15, 0.5, 1, QStringLiteral(" %"));
    FRampaMinutos = Numero(8, 12, 10, 0.5, 1, QStringLiteral(" min"));
    form->addRow(tr("Início:"), FRampaVelIni);
    form->addRow(QString(), FRampaIncIni);
    form->addRow(tr("Pico:"), FRampaVelPico);
    form->addRow(QString(), FRampaIncPico);
    form->addRow(tr("Duração da rampa:"), FRampaMinutos);
    for (QDoubleSpinBox *caixa : std::initializer_list<QDoubleSpinBox *>{
             FRampaVelIni, FRampaIncIni, FRampaVelPico, FRampaIncPico, FRampaMinutos})
        connect(caixa, &QDoubleSpinBox::valueChanged, this, [this] { MostrarPassos(); });
    return rampa;
}

QWidget *TPainelProtocolo::CriarLimites()
{
    auto *limites = new QWidget;
    auto *form = new QFormLayout(limites);
    form->setContentsMargins(0, 0, 0, 0);
    FVelMax = new TCaixaVelocidade(1.5, 18, 18);
    FVelMax->setObjectName(QStringLiteral("spnVelocidadeMaxima"));
    FIncMax = Numero(0, 25, 25, 0.5, 1, QStringLiteral(" %"));
    FIncMax->setObjectName(QStringLiteral("spnInclinacaoMaxima"));
    FRecMinutos = Numero(0, 30, 3, 0.5, 1, QStringLiteral(" min"));
    FRecMinutos->setObjectName(QStringLiteral("spnRecuperacao"));
    FRecVel = new TCaixaVelocidade(0, 18, 2.5);
    FRecVel->setObjectName(QStringLiteral("spnRecuperacaoVelocidade"));
    FRecInc = Numero(0, 25, 0, 0.5, 1, QStringLiteral(" %"));
    FAceitar = new QCheckBox(tr("Aceitar limitação à faixa da esteira"));
    FAceitar->setObjectName(QStringLiteral("chkAceitarLimitacao"));
    form->addRow(tr("Velocidade máxima:"), FVelMax);
    form->addRow(tr("Inclinação máxima:"), FIncMax);
    form->addRow(tr("Recuperação:"), FRecMinutos);
    form->addRow(QString(), FRecVel);
    form->addRow(QString(), FRecInc);
    form->addRow(FAceitar);
    return limites;
}

void TPainelProtocolo::Recarregar()
{
    const QString atual = FEscolha->currentData().toString();
    FProtocolos = FBiblioteca.Protocolos();
    const QSignalBlocker bloqueio(FEscolha);
    FEscolha->clear();
    for (const TProtocolo &p : FProtocolos)
        FEscolha->addItem(p.embutido ? p.nome : p.nome + tr(" (arquivo)"), p.id);
    FEscolha->addItem(tr("Rampa individualizada"), kRampa);
    const int indice = FEscolha->findData(atual);
    FEscolha->setCurrentIndex(indice >= 0 ? indice : 0);
    FRampa->setVisible(FEscolha->currentData().toString() == kRampa);
    const QStringList erros = FBiblioteca.Erros();
    FAvisos->setText(erros.join(QLatin1Char('\n')));
    MostrarPassos();
}

void TPainelProtocolo::RecarregarBiblioteca()
{
    FBiblioteca.Recarregar();
    Recarregar();
    emit ProtocoloMudou();
}

bool TPainelProtocolo::Selecionar(const QString &id)
{
    const int indice = FEscolha->findData(id);
    if (indice >= 0)
        FEscolha->setCurrentIndex(indice);
    return indice >= 0;
}

std::optional<TProtocolo> TPainelProtocolo::Protocolo(QString *erro) const
{
    const QString id = FEscolha->currentData().toString();
    if (id == kRampa) {
        TParametrosRampa parametros{FRampaVelIni->value(), FRampaIncIni->value(),
                                    FRampaVelPico->value(), FRampaIncPico->value(),
                                    qint64(FRampaMinutos->value() * 60000)};
        TProtocolo rampa = TGeradorRampa::Gerar(parametros, erro);
        if (rampa.exercicio.isEmpty()) {
            if (erro->isEmpty())
                *erro = tr("Não foi possível gerar a rampa.");
            return std::nullopt;
        }
        return rampa;
    }
    for (const TProtocolo &p : FProtocolos)
        if (p.id == id)
            return p;
    *erro = tr("Escolha um protocolo.");
    return std::nullopt;
}

void TPainelProtocolo::MostrarPassos()
{
    FPassos->clear();
    QString erro;
    const std::optional<TProtocolo> protocolo = Protocolo(&erro);
    if (!protocolo) {
        FPassos->addTopLevelItem(new QTreeWidgetItem({erro}));
        return;
    }
    // Each step's METs (ACSM, of the protocol's speed and grade) beside the stored description.
    QStringList mets;
    for (const QList<TPasso> *passos :
         {&protocolo->aquecimento, &protocolo->exercicio, &protocolo->recuperacao})
        for (const TPasso &p : *passos) {
            const auto m = [](double kmh, double pct) {
                return QString::number(TEquacoesMetabolicas::Mets(kmh, pct), 'f', 1);
            };
            const QString inicio = m(p.velocidadeInicial, p.inclinacaoInicial);
            const QString fim = m(p.velocidadeFinal, p.inclinacaoFinal);
            mets << (p.tipo == TPasso::TTipo::Rampa && inicio != fim
                         ? QStringLiteral("%1 → %2").arg(inicio, fim)
                         : inicio);
        }
    const QStringList linhas = DescreverPassos(*protocolo, FUnidade).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        QStringList colunas = linhas.at(i).split(QLatin1Char('\t'));
        // The description is also recorded with the session, in Portuguese: the phase is
        // translated only here, where it is shown.
        if (!colunas.isEmpty())
            colunas[0] = QCoreApplication::translate("TFase", colunas[0].toUtf8().constData());
        FPassos->addTopLevelItem(new QTreeWidgetItem(colunas << mets.value(i)));
    }
    FPassos->setToolTip(protocolo->descricao + QLatin1Char('\n') + protocolo->fonte);
}

void TPainelProtocolo::AjustarUnidade(const TUnidadeVelocidade &unidade)
{
    FUnidade = unidade;
    for (TCaixaVelocidade *caixa : {FRampaVelIni, FRampaVelPico, FVelMax, FRecVel})
        caixa->AjustarUnidade(unidade);
    MostrarPassos();
}

QString TPainelProtocolo::DescreverPassos(const TProtocolo &protocolo,
                                          const TUnidadeVelocidade &unidade)
{
    const TPassoFase fases[] = {{"Aquecimento", &protocolo.aquecimento},
                                {"Exercício", &protocolo.exercicio},
                                {"Recuperação", &protocolo.recuperacao}};
    QStringList linhas;
    int estagio = 0;
    for (const TPassoFase &f : fases)
        for (const TPasso &p : *f.passos) {
            ++estagio;
            const bool rampa = p.tipo == TPasso::TTipo::Rampa;
            auto faixa = [rampa](const QString &a, const QString &b, const QString &simbolo) {
                return rampa ? QStringLiteral("%1 → %2 %3").arg(a, b, simbolo)
                             : QStringLiteral("%1 %2").arg(a, simbolo);
            };
            auto numero = [](double v) { return QString::number(v, 'f', 1); };
            auto velocidade = [&unidade, &numero](double kmh) {
                return unidade.Mph() ? unidade.Numero(TFaixaEsteira::QuantizarVelocidade(kmh))
                                     : numero(kmh);
            };
            linhas << QStringList{QString::fromUtf8(f.fase), QString::number(estagio),
                                  TResumoSessao::Tempo(p.duracaoMs),
                                  faixa(velocidade(p.velocidadeInicial),
                                        velocidade(p.velocidadeFinal), unidade.Simbolo()),
                                  faixa(numero(p.inclinacaoInicial), numero(p.inclinacaoFinal),
                                        QStringLiteral("%"))}
                          .join(QLatin1Char('\t'));
        }
    return linhas.join(QLatin1Char('\n'));
}

qint64 TPainelProtocolo::Duracao(const TProtocolo &protocolo)
{
    qint64 total = 0;
    for (const QList<TPasso> *fase :
         {&protocolo.aquecimento, &protocolo.exercicio, &protocolo.recuperacao})
        for (const TPasso &p : *fase)
            total += p.duracaoMs;
    return total;
}

void TPainelProtocolo::Importar()
{
    const QString arquivo =
        QFileDialog::getOpenFileName(this, tr("Importar protocolo"), QString(),
                                     tr("Protocolos (*.json);;Todos os arquivos (*)"));
    if (arquivo.isEmpty())
        return;
    QString erro;
    if (!FBiblioteca.Importar(arquivo, &erro)) {
        ShowErrorMessage(erro);
        return;
    }
    Recarregar();
}

double TPainelProtocolo::VelocidadeMaxima() const
{
    return FVelMax->value();
}
double TPainelProtocolo::InclinacaoMaxima() const
{
    return FIncMax->value();
}
qint64 TPainelProtocolo::RecuperacaoMs() const
{
    return qint64(FRecMinutos->value() * 60000);
}
double TPainelProtocolo::RecuperacaoVelocidade() const
{
    return FRecVel->value();
}
double TPainelProtocolo::RecuperacaoInclinacao() const
{
    return FRecInc->value();
}
bool TPainelProtocolo::AceitarLimitacao() const
{
    return FAceitar->isChecked();
}
