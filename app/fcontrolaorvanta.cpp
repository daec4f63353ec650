#include "app/fcontrolaorvanta.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QMenu>
#include <QMessageBox>
#include <QMetaObject>
#include <QMovie>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "app/escolherporta.h"
#include "comm/advancedcom.h"
#include "comm/openfailure.h"
#include "comm/portlisting.h"
#include "comm/portname.h"
#include "comm/portsettings.h"
#include "components/vtxtimer.h"
#include "device/orvanta.h"
#include "device/reabertura.h"
#include "platform/exception.h"
#include "platform/formatfloat.h"
#include "platform/inputbox.h"
#include "platform/menuidioma.h"
#include "platform/messagebox.h"
#include "platform/trace.h"
#include "ui_fcontrolaorvanta.h"

TfrmControlaOrvanta *frmControlaOrvanta = nullptr;

namespace {

const QString kFormatoVelocidade = QStringLiteral("0.00 Km/h");
const QString kFormatoInclinacaoBotoes = QStringLiteral("0.0%");
const QString kFormatoInclinacao = QStringLiteral("0 %");
// The formats are the board's units and the locale's decimal separator, the same in every language.
QString PrefixoMensagem()
{
    return QCoreApplication::translate("TfrmControlaOrvanta", "Velocidade ou Inclinação: ");
}
const QColor kVermelho(0xFF, 0x00, 0x00);
const QColor kVerde(0x00, 0x80, 0x00);
const QColor kLedLigado(0x00, 0xFF, 0x00);
const QColor kLedPerdido(0x80, 0x80, 0x80);
const QString kValorDesconhecido = QStringLiteral("?");
constexpr unsigned kTempoCalibracaoMs = 4000;
constexpr int kCalibracaoMaxima = 255;             // one byte on the wire
constexpr long long kIntervaloMaximoMs = 1000000;  // when the timer reports no range
constexpr double kVelocidadeMinima = 1.5;
constexpr double kVelocidadeMaxima = 18.0;
constexpr double kInclinacaoMaxima = 25.0;
constexpr int kPortaPadrao = 1;  // as the console's
const QString kChavePorta = QStringLiteral("conexao/porta");
const QString kChaveIdioma = QStringLiteral("interface/idioma");  // "pt", "en" or absent

// The controller's own settings (the last port it opened), Kestrova/orvanta.ini, beside the port
// mapping every Kestrova program shares (comm/portsettings.h) and the console's file.
QSettings Configuracao()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrova"),
                     QStringLiteral("orvanta"));
}

// Marks a main-thread handler that uses the device while it runs.
class TUso {
public:
    explicit TUso(int &contador) : FContador(contador) { ++FContador; }
    ~TUso() { --FContador; }
    TUso(const TUso &) = delete;
    TUso &operator=(const TUso &) = delete;

private:
    int &FContador;
};

// The hourglass while a handler runs.
class TAmpulheta {
public:
    TAmpulheta() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TAmpulheta() { QApplication::restoreOverrideCursor(); }
    TAmpulheta(const TAmpulheta &) = delete;
    TAmpulheta &operator=(const TAmpulheta &) = delete;
};

// The form's fonts are the framework's Windows fonts; these metric-compatible families stand in
// for them where they are not installed.
void SubstituirFontes()
{
    static const bool feito = [] {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Arial Narrow"),
                                  QStringLiteral("Liberation Sans Narrow"));
        return true;
    }();
    (void)feito;
}

void PintarTexto(QWidget *widget, const QColor &cor)
{
    QPalette paleta = widget->palette();
    paleta.setColor(QPalette::WindowText, cor);
    widget->setPalette(paleta);
}

// Single precision, clamped into float's range first (converting beyond it is undefined).
float Simples(double valor)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(valor, -kMax, kMax));
}

}  // namespace

TfrmControlaOrvanta::TfrmControlaOrvanta(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TfrmControlaOrvanta>()),
      VtxTimer1(new TVtxTimer(this)),
      VtxTimerReset(new TVtxTimer(this)),
      AdvancedCom(new TAdvancedCom(this)),
      FCatraca(new QMovie(QStringLiteral(":/animations/CATRACA1"), "gif", this)),
      FReabertura(new TReabertura(this))
{
    SubstituirFontes();
    ui->setupUi(this);
    setFixedSize(529, 417);
    VtxTimer1->setObjectName(QStringLiteral("VtxTimer1"));
    VtxTimerReset->setObjectName(QStringLiteral("VtxTimerReset"));
    AdvancedCom->setObjectName(QStringLiteral("AdvancedCom"));
    VtxTimerReset->AjustarFiIntervalo(2000);
    VtxTimer1->OnTimer = [this](QObject *Sender) { VtxTimer1Timer(Sender); };
    VtxTimerReset->OnTimer = [this](QObject *Sender) { VtxTimerResetTimer(Sender); };
    ui->updownCom->SetMin(1);
    ui->updownCom->SetMax(8);
    ui->updownCom->SetAssociate(ui->edtCom);
    ui->updownCom->SetPosition(Configuracao().value(kChavePorta, kPortaPadrao).toInt());
    for (TUpDown *calibracao : {ui->UpDown1, ui->UpDown2}) {
        calibracao->SetMin(0);
        calibracao->SetMax(300);
    }
    ui->UpDown1->SetAssociate(ui->edtCalibrarVelocidade);
    ui->UpDown1->SetPosition(106);
    ui->UpDown2->SetAssociate(ui->edtCalibrarInclinacao);
    ui->UpDown2->SetPosition(18);
    AplicarFontes();
    ui->CustomVersao1->SetTransparent(true);
    PintarTexto(ui->lblMensagem, kVerde);
    PintarTexto(ui->lblReset, kVermelho);
    LigarSinais();
    CriarMenuIdioma();
    FormCreate();
}

std::optional<TIdioma> TfrmControlaOrvanta::IdiomaPreferido()
{
    return IdiomaDoCodigo(Configuracao().value(kChaveIdioma).toString());
}

void TfrmControlaOrvanta::GravarIdiomaPreferido(std::optional<TIdioma> idioma)
{
    QSettings configuracao = Configuracao();
    if (idioma)
        configuracao.setValue(kChaveIdioma, CodigoDoIdioma(*idioma));
    else
        configuracao.remove(kChaveIdioma);
    configuracao.sync();
    if (configuracao.status() != QSettings::NoError)
        ShowErrorMessage(tr("Não foi possível gravar a escolha do idioma."));
}

void TfrmControlaOrvanta::CriarMenuIdioma()
{
    auto *menu = new QMenu(ui->btnIdioma);
    menu->setObjectName(QStringLiteral("mnuIdioma"));
    PreencherMenuIdioma(*menu, IdiomaPreferido(), GravarIdiomaPreferido);
    ui->btnIdioma->setMenu(menu);
}

TfrmControlaOrvanta::~TfrmControlaOrvanta()
{
    // The belt keeps its state; only the polling ends, and a tick in flight finishes before the
    // device it uses goes away.
    FReabertura->Parar();
    ++FiUsoDoDispositivo;
    VtxTimer1->AjustarFbHabilitado(false);
    VtxTimerReset->AjustarFbHabilitado(false);
    delete FEsteira.exchange(nullptr);
    if (frmControlaOrvanta == this)
        frmControlaOrvanta = nullptr;
}

bool TfrmControlaOrvanta::Conectada() const
{
    return FEsteira.load() != nullptr;
}

void TfrmControlaOrvanta::AplicarFontes()
{
    QFont painel(QStringLiteral("Arial Narrow"));
    painel.setPixelSize(32);
    painel.setBold(true);
    ui->pnlVelocidade->setFont(painel);
    ui->pnlInclinacao->setFont(painel);
    QFont calibrando(QStringLiteral("Arial Narrow"), 18);
    calibrando.setBold(true);
    ui->pPanelCalibrando->setFont(calibrando);
}

void TfrmControlaOrvanta::LigarSinais()
{
    connect(ui->btnOnline, &QPushButton::clicked, this, [this] { btnOnlineClick(); });
    connect(ui->btnAumentarVelocidade, &QToolButton::clicked, this,
            [this] { btnAumentarVelocidadeClick(); });
    connect(ui->btnDiminuirVelocidade, &QToolButton::clicked, this,
            [this] { btnDiminuirVelocidadeClick(); });
    connect(ui->btnAumentarInclinacao, &QToolButton::clicked, this,
            [this] { btnAumentarInclinacaoClick(); });
    connect(ui->btnDiminuirInclinacao, &QToolButton::clicked, this,
            [this] { btnDiminuirInclinacaoClick(); });
    connect(ui->btnPararEsteira, &QPushButton::clicked, this, [this] { btnPararEsteiraClick(); });
    connect(ui->ButtonAlteraIntervalo, &QPushButton::clicked, this,
            [this] { ButtonAlteraIntervaloClick(); });
    connect(ui->btnFechar, &QPushButton::clicked, this, [this] { btnFecharClick(); });
    connect(ui->btnCalibrarVelocidade, &QPushButton::clicked, this, [this] { Calibrar(true); });
    connect(ui->btnCalibrarInclinacao, &QPushButton::clicked, this, [this] { Calibrar(false); });
    connect(ui->btnVelocidade, &QPushButton::clicked, this, [this] { btnVelocidadeClick(); });
    connect(ui->btnInclinacao, &QPushButton::clicked, this, [this] { btnInclinacaoClick(); });
    connect(ui->edtCom, &QLineEdit::textChanged, this, [this] { AtualizarDispositivo(); });
    connect(ui->btnEscolherPorta, &QToolButton::clicked, this, [this] { btnEscolherPortaClick(); });
    connect(FReabertura, &TReabertura::DispositivoDisponivel, this,
            [this] { DispositivoDeVolta(); });
    // btnFechar is the window's Cancel button: Escape presses it.
    auto *cancelar = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancelar, &QShortcut::activated, ui->btnFechar, &QPushButton::click);
}

void TfrmControlaOrvanta::FormCreate()
{
    // The frames are decoded once; the animation then only repaints a 20 x 20 label.
    FCatraca->setCacheMode(QMovie::CacheAll);
    FCatraca->setScaledSize(ui->pCatraca->size());
    ui->pCatraca->setMovie(FCatraca);
    FCatraca->jumpToFrame(0);
    ui->lblMensagem->setText(QString());
    FbEsteiraLigada = false;
    FdInclinacao = 0;
    FdVelocidade = 0;
    ui->pnlVelocidade->setText(QString());
    ui->pnlInclinacao->setText(QString());
    AtualizarControles();
    ui->Edit1->setText(QString::number(VtxTimer1->Intervalo()));
    AtualizarDispositivo();
}

void TfrmControlaOrvanta::AtualizarControles()
{
    const bool conectada = ui->btnOnline->isChecked();
    ui->edtCom->setEnabled(!conectada);
    ui->updownCom->setEnabled(!conectada);
    ui->btnEscolherPorta->setEnabled(!conectada);
    for (QWidget *controle : std::initializer_list<QWidget *>{
             ui->btnPararEsteira, ui->btnAumentarVelocidade, ui->btnDiminuirVelocidade,
             ui->btnAumentarInclinacao, ui->btnDiminuirInclinacao, ui->btnVelocidade,
             ui->btnInclinacao, ui->UpDown1, ui->UpDown2, ui->btnCalibrarVelocidade,
             ui->btnCalibrarInclinacao})
        controle->setEnabled(conectada);
    if (!conectada) {
        PintarLed(kVermelho);
        return;
    }
    PintarLed(FbDispositivoPerdido ? kLedPerdido : kLedLigado);
    if (!FbEsteiraLigada)
        FCatraca->stop();
    else if (FCatraca->state() != QMovie::Running)
        FCatraca->start();
}

void TfrmControlaOrvanta::PintarLed(const QColor &cor)
{
    ui->shpLed->setProperty("cor", cor);
    ui->shpLed->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid black; border-radius: 10px;")
            .arg(cor.name()));
}

// The device the port number stands for, as a tooltip of the port controls and a small label.
void TfrmControlaOrvanta::AtualizarDispositivo()
{
    const int porta = ui->updownCom->Position();
    const QString dispositivo =
        QString::fromStdString(kestrova::comm::PortDeviceName(unsigned(porta)));
    QString dica = QStringLiteral("COM%1 = %2").arg(porta).arg(dispositivo);
    if (kestrova::comm::PortDeviceSource(unsigned(porta)) ==
        kestrova::comm::TPortNameSource::environment)
        dica += QStringLiteral(" (KESTROVA_COM%1)").arg(porta);
    ui->edtCom->setToolTip(dica);
    ui->updownCom->setToolTip(dica);
    ui->lblDispositivo->setText(dica);
}

void TfrmControlaOrvanta::btnOnlineClick()
{
    try {
        if (ui->btnOnline->isChecked())
            Conectar();
        else
            Desconectar();
        AtualizarControles();
    } catch (const Exception &erro) {
        ShowErrorMessage(erro.Message());
        // The toggle tells the truth about the connection even when connecting failed.
        ui->btnOnline->setChecked(Conectada());
        AtualizarControles();
    }
}

void TfrmControlaOrvanta::btnEscolherPortaClick()
{
    const auto porta = unsigned(ui->updownCom->Position());
    TfrmEscolherPorta dialogo(porta, kestrova::comm::ListSerialPorts(), this);
    if (dialogo.exec() != QDialog::Accepted)
        return;
    if (!kestrova::comm::SetMappedPortDevice(porta, dialogo.DispositivoEscolhido()))
        ShowErrorMessage(tr("Não foi possível gravar a escolha da porta."));
    AtualizarDispositivo();
}

std::unique_ptr<TOrvanta> TfrmControlaOrvanta::CriarDispositivo(int porta, bool silencioso)
{
    // The device reports a port it cannot open in an error box; catch its text to show it with
    // the reason, or not at all.
    QString falha;
    const TErrorMessageHook anterior =
        SetErrorMessageHook([&falha](const QString &texto) { falha = texto; });
    std::unique_ptr<TOrvanta> esteira;
    try {
        esteira = std::make_unique<TOrvanta>(this, porta);
    } catch (...) {
        SetErrorMessageHook(anterior);
        throw;
    }
    SetErrorMessageHook(anterior);
    if (!falha.isEmpty() && !silencioso) {
        TAdvancedCom *porto = esteira->Porta();
        ShowErrorMessage(
            falha, kestrova::comm::OpenFailureDetails(porto->DeviceName(), porto->OpenErrorCode()));
    }
    return esteira;
}

// A lost device is reported by the port's reader; a report of an earlier connection is ignored.
void TfrmControlaOrvanta::VigiarDispositivo(TOrvanta *esteira)
{
    if (!esteira->Porta())
        return;
    connect(esteira->Porta(), &TComThread::DeviceLost, this,
            [this, conexao = FuConexao.load()](const QString &motivo) {
                if (conexao == FuConexao.load() && Conectada())
                    PerdeuDispositivo(motivo);
            });
}

void TfrmControlaOrvanta::Conectar()
{
    const int porta = ui->updownCom->Position();
    if (OnAntesDeConectar)
        OnAntesDeConectar(porta);
    AtualizarDispositivo();
    std::unique_ptr<TOrvanta> esteira = CriarDispositivo(porta, false);
    if (esteira->Porta() && esteira->Porta()->Opened())
        Configuracao().setValue(kChavePorta, porta);  // the next window starts on it
    VigiarDispositivo(esteira.get());
    delete FEsteira.exchange(esteira.release());
    ui->pnlVelocidade->setText(FormatFloat(kFormatoVelocidade, 0));
    ui->pnlInclinacao->setText(FormatFloat(kFormatoInclinacao, 0));
}

// Shown at once: a grey LED that says why, and the words in the status line. The polling goes
// on reporting its failures; the same device is tried again once a second.
void TfrmControlaOrvanta::PerdeuDispositivo(const QString &motivo)
{
    TOrvanta *esteira = FEsteira.load();
    if (FbDispositivoPerdido || !esteira || !esteira->Porta())
        return;
    const QString dispositivo = esteira->Porta()->DeviceName();
    FbDispositivoPerdido = true;
    Trace(QStringLiteral("dispositivo perdido: %1 (%2)").arg(dispositivo, motivo));
    AtualizarControles();
    ui->shpLed->setToolTip(tr("Dispositivo perdido: %1 (%2). Tentando reabrir a cada "
                              "segundo; a esteira não recebe nada até lá.")
                               .arg(dispositivo, motivo));
    ui->lblMensagem->setText(tr("Porta perdida: tentando reabrir..."));
    PintarTexto(ui->lblMensagem, kVermelho);
    FReabertura->Iniciar(dispositivo, FiIntervaloReabertura);
    LiberarPortaPerdida();
}

// Closes the dead port, so that the driver can give the returning adapter its old name (a node
// held open keeps its number). The polling goes on against the closed port, each tick failing
// after its time-out. Waits for a main-thread exchange to finish first.
void TfrmControlaOrvanta::LiberarPortaPerdida()
{
    TOrvanta *esteira = FEsteira.load();
    if (!FbDispositivoPerdido || !esteira || !esteira->Porta() || !esteira->Porta()->IsOpen())
        return;
    if (FiUsoDoDispositivo > 0) {
        QTimer::singleShot(100, this, [this] { LiberarPortaPerdida(); });
        return;
    }
    TUso uso(FiUsoDoDispositivo);
    const bool polling = VtxTimer1->Habilitado();
    VtxTimer1->AjustarFbHabilitado(false);  // waits for a tick writing to the port
    if (FEsteira.load() == esteira && esteira->Porta())
        esteira->Porta()->ComClose();
    if (polling)
        VtxTimer1->AjustarFbHabilitado(true);
}

// The device is back: the port is opened again, but nothing is sent. The window returns to
// connected-not-running (polling off, wanted values zero, displays unknown), so the belt changes
// only on the operator's next command; "PARAR ESTEIRA" works at once.
void TfrmControlaOrvanta::DispositivoDeVolta()
{
    if (!FbDispositivoPerdido || !Conectada() || FiUsoDoDispositivo > 0)
        return;  // a handler is using the device: the next attempt tries again
    TUso uso(FiUsoDoDispositivo);
    std::unique_ptr<TOrvanta> nova = CriarDispositivo(ui->updownCom->Position(), true);
    if (!nova->Porta() || !nova->Porta()->Opened())
        return;  // there, but not usable yet
    FReabertura->Parar();
    ++FuConexao;                            // ticks of the lost connection report nothing more
    VtxTimer1->AjustarFbHabilitado(false);  // waits for a tick in flight
    ++FuConexao;                            // also a tick that started meanwhile
    VigiarDispositivo(nova.get());
    delete FEsteira.exchange(nova.release());
    Trace(QStringLiteral("dispositivo reaberto: %1").arg(FReabertura->Dispositivo()));
    FbDispositivoPerdido = false;
    FbEsteiraLigada = false;
    // What the belt does now is unknown (it may still run): closing asks until a stop is
    // acknowledged, as after an unacknowledged stop.
    FbParadaPendente = true;
    FdVelocidade = 0;
    FdInclinacao = 0;
    ui->pnlVelocidade->setText(kValorDesconhecido);
    ui->pnlInclinacao->setText(kValorDesconhecido);
    ui->shpLed->setToolTip(QString());
    ui->lblMensagem->setText(tr("Porta reaberta: valores desconhecidos"));
    AtualizarControles();
}

void TfrmControlaOrvanta::Desconectar()
{
    TUso uso(FiUsoDoDispositivo);
    FReabertura->Parar();
    FbDispositivoPerdido = false;
    ui->shpLed->setToolTip(QString());
    // The outcome of a tick in flight is dropped, also when it arrives while the stop below
    // waits for that tick; after the stop the device is no longer in use.
    ++FuConexao;
    VtxTimer1->AjustarFbHabilitado(false);
    FCatraca->stop();
    FdVelocidade = 0;
    FdInclinacao = 0;
    FbEsteiraLigada = false;
    ui->pnlVelocidade->setText(QString());
    ui->pnlInclinacao->setText(QString());
    delete FEsteira.exchange(nullptr);
    ++FuConexao;  // also a tick that started while the polling stopped
}

void TfrmControlaOrvanta::PassoDeReset()
{
    TUso uso(FiUsoDoDispositivo);
    try {
        if (TOrvanta *esteira = FEsteira.load())
            esteira->Parar();
        ui->lblReset->setText(QStringLiteral("RESET: OK"));
        FbParadaPendente = false;
    } catch (const Exception &erro) {
        ui->lblReset->setText(QStringLiteral("RESET: ") + erro.Message());
        FbParadaPendente = true;
    }
    ui->lblReset->setVisible(true);
    VtxTimerReset->AjustarFbHabilitado(true);
}

void TfrmControlaOrvanta::IniciarPolling()
{
    FbEsteiraLigada = true;
    VtxTimer1->AjustarFbHabilitado(true);
    AtualizarControles();
}

void TfrmControlaOrvanta::AlterarVelocidadeOuInclinacao(const std::function<void()> &alterar,
                                                        const std::function<void()> &mostrar)
{
    if (!Conectada())
        return;
    TAmpulheta ampulheta;
    alterar();
    if (!FbEsteiraLigada)
        PassoDeReset();
    IniciarPolling();
    mostrar();
}

void TfrmControlaOrvanta::MostrarVelocidade()
{
    ui->pnlVelocidade->setText(FormatFloat(kFormatoVelocidade, FdVelocidade));
}

void TfrmControlaOrvanta::MostrarInclinacao(const QString &formato)
{
    ui->pnlInclinacao->setText(FormatFloat(formato, FdInclinacao));
}

void TfrmControlaOrvanta::btnAumentarVelocidadeClick()
{
    AlterarVelocidadeOuInclinacao(
        [this] {
            const double velocidade = FdVelocidade;
            if (velocidade == 0)
                FdVelocidade = kVelocidadeMinima;
            else if (velocidade < kVelocidadeMaxima)
                FdVelocidade = velocidade + double(0.1f);
        },
        [this] { MostrarVelocidade(); });
}

void TfrmControlaOrvanta::btnDiminuirVelocidadeClick()
{
    AlterarVelocidadeOuInclinacao(
        [this] {
            const double velocidade = FdVelocidade;
            FdVelocidade = velocidade > 1.59 ? velocidade - 0.1 : 0.0;
        },
        [this] { MostrarVelocidade(); });
}

void TfrmControlaOrvanta::btnAumentarInclinacaoClick()
{
    AlterarVelocidadeOuInclinacao(
        [this] {
            if (FdInclinacao != kInclinacaoMaxima)
                FdInclinacao = FdInclinacao + 0.5;
        },
        [this] { MostrarInclinacao(kFormatoInclinacaoBotoes); });
}

void TfrmControlaOrvanta::btnDiminuirInclinacaoClick()
{
    AlterarVelocidadeOuInclinacao(
        [this] {
            if (FdInclinacao != 0)
                FdInclinacao = FdInclinacao - 0.5;
        },
        [this] { MostrarInclinacao(kFormatoInclinacaoBotoes); });
}

void TfrmControlaOrvanta::btnPararEsteiraClick()
{
    QString falha;
    PararEsteira(falha);
}

bool TfrmControlaOrvanta::PararEsteira(QString &falha)
{
    TOrvanta *esteira = FEsteira.load();
    if (!esteira) {
        falha = tr("sem conexão com a esteira");
        return false;
    }
    TUso uso(FiUsoDoDispositivo);
    TAmpulheta ampulheta;
    bool parada = false;
    try {
        FdVelocidade = 0;
        FdInclinacao = 0;
        ui->pnlVelocidade->setText(FormatFloat(kFormatoVelocidade, 0));
        ui->pnlInclinacao->setText(FormatFloat(kFormatoInclinacao, 0));
        FbEsteiraLigada = false;
        VtxTimer1->AjustarFbHabilitado(false);
        esteira->Parar();
        AtualizarControles();
        ui->lblReset->setText(QStringLiteral("RESET: OK"));
        ui->lblMensagem->setText(tr("Esteira parada"));
        PintarTexto(ui->lblMensagem, kVerde);
        parada = true;
    } catch (const Exception &erro) {
        falha = erro.Message();
        ui->lblReset->setText(QStringLiteral("RESET: ") + falha);
        ui->lblMensagem->setText(tr("Parada não confirmada: ") + falha);
        PintarTexto(ui->lblMensagem, kVermelho);
    }
    FbParadaPendente = !parada;
    ui->lblReset->setVisible(true);
    VtxTimerReset->AjustarFbHabilitado(true);
    return parada;
}

bool TfrmControlaOrvanta::EsteiraPodeEstarLigada() const
{
    return Conectada() && (FbEsteiraLigada || FdVelocidade != 0 || FbParadaPendente);
}

// The window's destruction leaves the belt as it is (other programs rely on that), so leaving
// it running stays possible, but only as the operator's answer; the safe answer is Cancelar.
void TfrmControlaOrvanta::closeEvent(QCloseEvent *event)
{
    if (!EsteiraPodeEstarLigada()) {
        event->accept();
        return;
    }
    QMessageBox caixa(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                      tr("A esteira pode estar em movimento, e fechar a janela não a para."),
                      QMessageBox::NoButton, this);
    caixa.setObjectName(QStringLiteral("dlgFecharComEsteira"));
    QPushButton *parar = caixa.addButton(tr("Parar a esteira e fechar"), QMessageBox::AcceptRole);
    QPushButton *deixar = caixa.addButton(tr("Fechar sem parar"), QMessageBox::DestructiveRole);
    QPushButton *cancelar = caixa.addButton(tr("Cancelar"), QMessageBox::RejectRole);
    caixa.setDefaultButton(cancelar);
    caixa.setEscapeButton(cancelar);  // also what closing the box answers
    caixa.exec();
    QString falha;
    if (caixa.clickedButton() == deixar) {
        event->accept();
    } else if (caixa.clickedButton() != parar) {
        event->ignore();
    } else if (PararEsteira(falha)) {
        event->accept();
    } else {
        event->ignore();
        ShowErrorMessage(
            tr("Não foi possível parar a esteira: %1. A janela continua aberta.").arg(falha));
    }
}

void TfrmControlaOrvanta::ButtonAlteraIntervaloClick()
{
    // A period outside the timer's range (below 1 ms, above its maximum) would silently stop the
    // polling of a running belt: it is ignored, as text that is not an integer is, and Edit1 shows
    // the period still in force.
    TUso uso(FiUsoDoDispositivo);  // a running timer restarts, waiting for its tick
    const std::uint32_t maximo = VtxTimer1->Capacidades().periodMax;
    const long long limite = maximo > 0 ? maximo : kIntervaloMaximoMs;
    int intervalo = 0;
    if (TryStrToInt(ui->Edit1->text(), intervalo) && intervalo >= 1 && intervalo <= limite)
        VtxTimer1->AjustarFiIntervalo(intervalo);
    else
        ui->Edit1->setText(QString::number(VtxTimer1->Intervalo()));
}

void TfrmControlaOrvanta::btnFecharClick()
{
    close();
}

void TfrmControlaOrvanta::Calibrar(bool velocidade)
{
    TOrvanta *esteira = FEsteira.load();
    if (!esteira)
        return;
    TUso uso(FiUsoDoDispositivo);
    TAmpulheta ampulheta;
    ui->Bevel1->setVisible(true);
    ui->lblMsgCalibracao1->setVisible(true);
    ui->pPanelCalibrando->setVisible(true);
    const bool ligada = FbEsteiraLigada;
    if (ligada)
        VtxTimer1->AjustarFbHabilitado(false);
    ui->pnlVelocidade->setText(QStringLiteral("-"));
    ui->pnlInclinacao->setText(QStringLiteral("-"));
    QFont fonte = ui->pPanelCalibrando->font();
    fonte.setPointSize(18);
    ui->pPanelCalibrando->setFont(fonte);
    ui->pPanelCalibrando->setText(tr("CALIBRANDO"));
    PassoDeReset();
    try {
        const QString texto =
            (velocidade ? ui->edtCalibrarVelocidade : ui->edtCalibrarInclinacao)->text();
        int valor = 0;
        if (!TryStrToInt(texto, valor))
            throw Exception(tr("'%1' não é um valor inteiro válido.").arg(texto));
        // The up-down control goes to 300, but the board takes one byte: a larger value would
        // go out as its low 8 bits and calibrate the board with a different number.
        if (valor < 0 || valor > kCalibracaoMaxima)
            throw Exception(tr("Valor de calibração deve estar entre 0 e 255."));
        const auto byte = static_cast<unsigned char>(valor);
        if (velocidade)
            esteira->CalibrarVelocidade(byte, kTempoCalibracaoMs);
        else
            esteira->CalibrarInclinacao(byte, kTempoCalibracaoMs);
        ui->pPanelCalibrando->setText(QStringLiteral("OK"));
    } catch (const Exception &erro) {
        fonte.setPointSize(10);
        ui->pPanelCalibrando->setFont(fonte);
        ui->pPanelCalibrando->setText(erro.Message());
    }
    PassoDeReset();
    if (ligada)
        VtxTimer1->AjustarFbHabilitado(true);
    MostrarVelocidade();
    MostrarInclinacao(kFormatoInclinacao);
}

// Asks for a value; false on Cancel or, after the "Valor inválido: informe de <faixa>." box, on
// text that is not a finite number.
bool TfrmControlaOrvanta::PerguntarValor(const QString &prompt, const QString &inicial,
                                         const QString &faixa, float &valor)
{
    QString texto = inicial;
    if (!InputQuery(QGuiApplication::applicationDisplayName(), prompt, texto))
        return false;
    double lido = 0;
    if (!TryStrToFloat(texto, lido)) {
        ShowErrorMessage(tr("Valor inválido: informe de %1.").arg(faixa));
        return false;
    }
    valor = Simples(lido);
    return true;
}

void TfrmControlaOrvanta::btnVelocidadeClick()
{
    float valor = 0;
    // The range in the locale's decimal form, the one the typed text is read in.
    const QString faixa = tr("%1 a %2 km/h")
                              .arg(FormatFloat(QStringLiteral("0.0"), 0),
                                   FormatFloat(QStringLiteral("0.0"), kVelocidadeMaxima));
    if (!Conectada() ||
        !PerguntarValor(tr("Insira a nova velocidade:"),
                        FormatFloat(QStringLiteral("0.0"), FdVelocidade), faixa, valor))
        return;
    TAmpulheta ampulheta;
    if (valor <= 0)
        valor = 0;
    else if (valor < kVelocidadeMinima)
        valor = float(kVelocidadeMinima);
    else if (valor > kVelocidadeMaxima)
        valor = float(kVelocidadeMaxima);
    if (!FbEsteiraLigada)
        PassoDeReset();
    FdVelocidade = valor;
    IniciarPolling();
    MostrarVelocidade();
}

void TfrmControlaOrvanta::btnInclinacaoClick()
{
    float valor = 0;
    const QString faixa = tr("0 a %1 %").arg(FormatFloat(QStringLiteral("0"), kInclinacaoMaxima));
    if (!Conectada() ||
        !PerguntarValor(tr("Insira a nova inclinacao:"),
                        FormatFloat(QStringLiteral("0"), FdInclinacao), faixa, valor))
        return;
    TAmpulheta ampulheta;
    if (valor <= 0)
        valor = 0;
    else if (valor > kInclinacaoMaxima)
        valor = float(kInclinacaoMaxima);
    if (!FbEsteiraLigada)
        PassoDeReset();
    FdInclinacao = std::trunc(valor);
    IniciarPolling();
    MostrarInclinacao(kFormatoInclinacao);
}

void TfrmControlaOrvanta::VtxTimer1Timer(QObject *)
{
    const unsigned conexao = FuConexao.load();
    TOrvanta *esteira = FEsteira.load();
    if (!esteira)
        return;
    bool ok = false;
    QString mensagem;
    try {
        esteira->AjustarVelocidade(FdVelocidade);
        esteira->AjustarInclinacao(FdInclinacao);
        ok = true;
    } catch (const Exception &erro) {
        mensagem = erro.Message();
    }
    QMetaObject::invokeMethod(
        this,
        [this, ok, mensagem, conexao] {
            // A tick of a connection that has since ended, or one that a stop overtook (its
            // outcome would hide the stop's), reports nothing.
            if (conexao == FuConexao.load() && FbEsteiraLigada)
                MostrarResultadoDoTick(ok, mensagem);
        },
        Qt::QueuedConnection);
}

void TfrmControlaOrvanta::MostrarResultadoDoTick(bool ok, const QString &mensagem)
{
    if (!ok) {
        ui->lblMensagem->setText(PrefixoMensagem() + mensagem);
        return;
    }
    ui->lblMensagem->setText(PrefixoMensagem() + QStringLiteral("OK"));
    const QColor atual = ui->lblMensagem->palette().color(QPalette::WindowText);
    PintarTexto(ui->lblMensagem, atual == kVermelho ? kVerde : kVermelho);
    ui->lblMensagem->setVisible(true);
}

void TfrmControlaOrvanta::VtxTimerResetTimer(QObject *)
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            ui->lblReset->setVisible(false);
            VtxTimerReset->AjustarFbHabilitado(false);
        },
        Qt::QueuedConnection);
}
