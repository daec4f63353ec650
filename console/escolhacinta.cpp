#include "console/escolhacinta.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

#include "heartrate/cintaencontrada.h"
#include "heartrate/falhabluetooth.h"
#include "heartrate/fontereproducao.h"
#include "heartrate/fontesimulada.h"
#ifdef KESTROVA_HEARTRATE_BLUETOOTH
#include "heartrate/fontebluetooth.h"
#include "heartrate/procuracintas.h"
#endif

namespace {

constexpr int kTipo = Qt::UserRole, kEndereco = Qt::UserRole + 1, kNome = Qt::UserRole + 2;
constexpr int kDuracaoProcuraMs = 10000;

QString TextoCinta(const QString &nome, const QString &endereco, int rssiDbm)
{
    QString texto = QStringLiteral("%1 (%2)").arg(
        nome.isEmpty() ? QCoreApplication::translate("TEscolhaCinta", "Cinta") : nome, endereco);
    if (rssiDbm != 0)
        texto += QStringLiteral(", %1 dBm").arg(rssiDbm);
    return texto;
}

}  // namespace

TEscolhaCinta::TEscolhaCinta(QWidget *parent) : QGroupBox(tr("Frequência cardíaca"), parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *linha = new QHBoxLayout;
    FLista = new QComboBox;
    FLista->setObjectName(QStringLiteral("cmbCinta"));
    FProcurar = new QPushButton(tr("Procurar"));
    FProcurar->setObjectName(QStringLiteral("btnProcurarCinta"));
    FProcurar->setToolTip(tr("Procura cintas Bluetooth por 10 s"));
    linha->addWidget(FLista, 1);
    linha->addWidget(FProcurar);
    layout->addLayout(linha);
    FSituacao = new QLabel;
    FSituacao->setObjectName(QStringLiteral("lblSituacaoCinta"));
    FSituacao->setWordWrap(true);
    layout->addWidget(FSituacao);
    Adicionar(tr("Nenhuma (frequência digitada)"), int(TPreferenciaCinta::TTipo::Nenhuma));
    connect(FLista, &QComboBox::currentIndexChanged, this, &TEscolhaCinta::Mudou);
    connect(FProcurar, &QPushButton::clicked, this, &TEscolhaCinta::Procurar);
#ifdef KESTROVA_HEARTRATE_BLUETOOTH
    FProcura = new TProcuraCintas(this);
    connect(FProcura, &TProcuraCintas::Encontrada, this, &TEscolhaCinta::Encontrada);
    connect(FProcura, &TProcuraCintas::Falhou, this,
            [this](TFalhaBluetooth falha) { MostrarSituacao(TextoFalhaBluetooth(falha)); });
    connect(FProcura, &TProcuraCintas::Concluida, this, [this] {
        FProcurar->setEnabled(true);
        if (FSituacao->text() == tr("Procurando cintas..."))
            MostrarSituacao(
                FProcura->Encontradas().isEmpty()
                    ? tr("Nenhuma cinta encontrada.")
                    : tr("%1 cinta(s) encontrada(s).").arg(FProcura->Encontradas().size()));
    });
#else
    FProcurar->setEnabled(false);
    MostrarSituacao(TextoFalhaBluetooth(TFalhaBluetooth::NaoCompilado));
#endif
}

TEscolhaCinta::~TEscolhaCinta() = default;

int TEscolhaCinta::Adicionar(const QString &texto, int tipo, const QString &endereco,
                             const QString &nome)
{
    FLista->addItem(texto);
    const int i = FLista->count() - 1;
    FLista->setItemData(i, tipo, kTipo);
    FLista->setItemData(i, endereco, kEndereco);
    FLista->setItemData(i, nome, kNome);
    return i;
}

int TEscolhaCinta::Indice(int tipo, const QString &endereco) const
{
    for (int i = 0; i < FLista->count(); ++i)
        if (FLista->itemData(i, kTipo).toInt() == tipo &&
            FLista->itemData(i, kEndereco).toString().compare(endereco, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TEscolhaCinta::OferecerDemonstracao(bool simulada, const std::optional<TTracoCardiaco> &traco,
                                         const QString &nomeTraco)
{
    FTraco = traco;
    FNomeTraco = nomeTraco;
    const QSignalBlocker bloqueio(FLista);
    if (simulada && Indice(int(TPreferenciaCinta::TTipo::Simulada)) < 0) {
        const int i =
            Adicionar(QStringLiteral("Cinta simulada"), int(TPreferenciaCinta::TTipo::Simulada));
        if (FLista->currentIndex() == 0)
            FLista->setCurrentIndex(i);
    }
    if (traco)
        FLista->setCurrentIndex(Adicionar(tr("Traço gravado: %1").arg(nomeTraco), kTraco));
}

void TEscolhaCinta::Mostrar(const TPreferenciaCinta &p)
{
    const QSignalBlocker bloqueio(FLista);
    int i = Indice(int(p.tipo), p.endereco);
    if (i < 0 && p.tipo == TPreferenciaCinta::TTipo::Bluetooth)
        i = Adicionar(TextoCinta(p.nome, p.endereco, 0), int(p.tipo), p.endereco, p.nome);
    FLista->setCurrentIndex(std::max(i, 0));
}

TPreferenciaCinta TEscolhaCinta::Escolha() const
{
    TPreferenciaCinta p;
    const int tipo = FLista->currentData(kTipo).toInt();
    if (tipo != kTraco)
        p.tipo = TPreferenciaCinta::TTipo(tipo);
    p.endereco = FLista->currentData(kEndereco).toString();
    p.nome = FLista->currentData(kNome).toString();
    return p;
}

std::unique_ptr<TFonteCardiaca> TEscolhaCinta::CriarFonte(std::shared_ptr<TRelogio> relogio)
{
    MostrarSituacao(QString());
    if (TracoEscolhido() && FTraco)
        return std::make_unique<TFonteReproducao>(*FTraco, FNomeTraco, std::move(relogio));
    const TPreferenciaCinta p = Escolha();
    switch (p.tipo) {
        case TPreferenciaCinta::TTipo::Nenhuma: return nullptr;
        case TPreferenciaCinta::TTipo::Simulada:
            return std::make_unique<TFonteSimulada>(std::move(relogio));
        case TPreferenciaCinta::TTipo::Bluetooth: break;
    }
#ifdef KESTROVA_HEARTRATE_BLUETOOTH
    auto cinta = std::make_unique<TFonteBluetooth>(p.endereco, p.nome, std::move(relogio));
    connect(cinta.get(), &TFonteBluetooth::Falhou, this,
            [this](TFalhaBluetooth falha) { MostrarSituacao(TextoFalhaBluetooth(falha)); });
    connect(cinta.get(), &TFonteBluetooth::Bateria, this,
            [this](int pct) { MostrarSituacao(tr("Bateria da cinta: %1 %").arg(pct)); });
    return cinta;
#else
    MostrarSituacao(TextoFalhaBluetooth(TFalhaBluetooth::NaoCompilado));
    return nullptr;
#endif
}

bool TEscolhaCinta::TracoEscolhido() const
{
    return FLista->currentData(kTipo).toInt() == kTraco;
}

void TEscolhaCinta::MostrarSituacao(const QString &texto)
{
    FSituacao->setText(texto);
}

void TEscolhaCinta::Procurar()
{
    if (!FProcura || FProcura->Ativa())
        return;
    FProcurar->setEnabled(false);
    MostrarSituacao(tr("Procurando cintas..."));
    FProcura->Iniciar(kDuracaoProcuraMs);
}

void TEscolhaCinta::Encontrada(const TCintaEncontrada &cinta)
{
    const QString texto = TextoCinta(cinta.nome, cinta.endereco, cinta.rssiDbm);
    const int tipo = int(TPreferenciaCinta::TTipo::Bluetooth);
    if (const int i = Indice(tipo, cinta.endereco); i >= 0)
        FLista->setItemText(i, texto);
    else
        Adicionar(texto, tipo, cinta.endereco, cinta.nome);
}
