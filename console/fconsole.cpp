#include "console/fconsole.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "chart/vtxgraph.h"
#include "clinical/equacoesmetabolicas.h"
#include "clinical/relatorioclinico.h"
#include "clinical/textosclinicos.h"
#include "comm/advancedcom.h"
#include "comm/portname.h"
#include "console/acompanhamentoclinico.h"
#include "console/escolhacinta.h"
#include "console/fconfiguracoes.h"
#include "console/feditorprotocolos.h"
#include "console/fresultados.h"
#include "console/fsessoes.h"
#include "console/monitorcardiaco.h"
#include "console/painelentradas.h"
#include "console/painelpaciente.h"
#include "console/painelprotocolo.h"
#include "console/preferencias.h"
#include "console/teclasparada.h"
#include "console/textoevento.h"
#include "device/orvanta.h"
#include "device/reabertura.h"
#include "heartrate/situacaocardiaca.h"
#include "platform/exception.h"
#include "platform/menuidioma.h"
#include "platform/messagebox.h"
#include "platform/printer.h"
#include "platform/trace.h"
#include "protocol/executorprotocolo.h"
#include "protocol/relogio.h"
#include "protocol/textosexecucao.h"
#include "session/exportadorcsv.h"
#include "session/graficocardiaco.h"
#include "session/graficosessao.h"
#include "session/gravadorsessao.h"
#include "session/relatoriosessao.h"

namespace {

constexpr int kContagemMs = 3000;
// Longest wait for the stop when the window closes: an exchange in flight (its time-out), the
// line's settle time, the stop's own exchange.
constexpr int kEsperaParadaMs = 3000;
// Longest wait for the recorder's last records when a test ends.
constexpr int kEsperaGravacaoMs = 2000;
const char *const kParadaNaoConfirmada = QT_TRANSLATE_NOOP(
    "TfrmConsole",
    "A esteira não confirmou a parada: o programa continua enviando a parada a cada segundo. "
    "Verifique a esteira antes de fechar.");

// A large figure, as wide as the widest of its texts, so the figures beside it do not move as
// it changes.
QLabel *Valor(const QString &nome, int pixels, const QStringList &maisLargos)
{
    auto *rotulo = new QLabel(QStringLiteral("-"));
    rotulo->setObjectName(nome);
    QFont fonte = rotulo->font();
    fonte.setPixelSize(pixels);
    fonte.setBold(true);
    rotulo->setFont(fonte);
    int largura = 0;
    for (const QString &texto : maisLargos)
        largura = std::max(largura, rotulo->fontMetrics().horizontalAdvance(texto));
    rotulo->setMinimumWidth(largura + 4);
    return rotulo;
}

QPushButton *Botao(const QString &texto, const QString &nome)
{
    auto *botao = new QPushButton(texto);
    botao->setObjectName(nome);
    // Space belongs to PARAR: no control button takes the keyboard focus.
    botao->setFocusPolicy(Qt::NoFocus);
    return botao;
}

QString Pct(double v)
{
    return QStringLiteral("%1 %").arg(QString::number(v, 'f', 1));
}

bool Rodando(TEstadoExecucao e)
{
    return e != TEstadoExecucao::Pronto && e != TEstadoExecucao::Parado &&
           e != TEstadoExecucao::Concluido;
}

TEventoRegistro Registro(const TEventoExecucao &e)
{
    static const char *tipos[] = {"estado", "estagio", "alvo", "limite", "falha", "acao"};
    TEventoRegistro r;
    r.tempoMs = e.tempoMs;
    r.tipo = QString::fromLatin1(tipos[int(e.tipo)]);
    r.estado = int(e.estado);
    r.fase = int(e.fase);
    r.estagio = e.estagio;
    r.velocidade = e.velocidade;
    r.inclinacao = e.inclinacao;
    r.texto = e.texto;
    if (e.tipo == TEventoExecucao::TTipo::Estagio) {  // the protocol's values before the limits
        r.valor1 = e.velocidadeProtocolo;
        r.valor2 = e.inclinacaoProtocolo;
    }
    return r;
}

TAmostraRegistro Registro(const TAmostraExecucao &a)
{
    TAmostraRegistro r;
    r.tempoMs = a.tempoMs;
    r.estado = int(a.estado);
    r.fase = int(a.fase);
    r.estagio = a.estagio;
    r.velocidadeAlvo = a.velocidadeAlvo;
    r.inclinacaoAlvo = a.inclinacaoAlvo;
    r.velocidadeConfirmada = a.velocidadeConfirmada;
    r.inclinacaoConfirmada = a.inclinacaoConfirmada;
    r.linkOk = a.linkOk;
    return r;
}

}  // namespace

TfrmConsole::TfrmConsole(TBancoSessoes *banco, QWidget *parent) : QMainWindow(parent), FBanco(banco)
{
    setWindowTitle(tr("Teste de esforço"));
    OnConfirmar = [this](const QString &texto) {
        return QMessageBox::question(this, windowTitle(), texto) == QMessageBox::Yes;
    };
    auto *central = new QWidget;
    auto *colunas = new QHBoxLayout(central);
    FConfiguracao = new QWidget;
    auto *esquerda = new QVBoxLayout(FConfiguracao);
    esquerda->setContentsMargins(0, 0, 0, 0);
    auto *porta = new QHBoxLayout;
    FPorta = new QSpinBox;
    FPorta->setObjectName(QStringLiteral("spnPorta"));
    FPorta->setRange(1, 256);
    FPorta->setPrefix(QStringLiteral("COM"));
    FPorta->setValue(PreferenciasConsole().value(QStringLiteral("porta"), 1).toInt());
    FDispositivo = new QLabel;
    FDispositivo->setObjectName(QStringLiteral("lblDispositivo"));
    porta->addWidget(new QLabel(tr("Porta:")));
    porta->addWidget(FPorta);
    porta->addWidget(FDispositivo, 1);
    esquerda->addLayout(porta);
    FPaciente = new TPainelPaciente;
    FPaciente->AjustarBanco(FBanco);
    FPaciente->OnAbrirTeste = [this](qint64 sessao) {
        AbrirSessoes();
        FSessoes->Selecionar(sessao);
    };
    FProtocolo = new TPainelProtocolo;
    FEscolhaCinta = new TEscolhaCinta;
    FEscolhaCinta->Mostrar(TPreferenciaCinta::Carregar());
    esquerda->addWidget(FPaciente);
    esquerda->addWidget(FEscolhaCinta);
    esquerda->addWidget(FProtocolo, 1);
    auto *rolagem = new QScrollArea;
    rolagem->setWidget(FConfiguracao);
    rolagem->setWidgetResizable(true);
    rolagem->setMinimumWidth(350);
    colunas->addWidget(rolagem);
    colunas->addWidget(CriarExecucao(), 1);
    setCentralWidget(central);
    CriarMenus();
    FGravacao = new QLabel;
    FGravacao->setObjectName(QStringLiteral("lblGravacao"));
    statusBar()->addPermanentWidget(FGravacao, 1);
    FGravacao->setText(
        !FBanco->Aberto() ? tr("Banco de sessões não disponível")
        : FBanco->Endereco().Servidor()
            ? tr("Banco de sessões: %1 (estação %2)").arg(FBanco->Caminho(), FBanco->Estacao())
            : tr("Banco de sessões: %1").arg(FBanco->Caminho()));

    connect(FPorta, &QSpinBox::valueChanged, this, &TfrmConsole::AtualizarDispositivo);
    connect(FEntradas, &TPainelEntradas::Entrada, this, &TfrmConsole::AoEntrada);
    connect(FEntradas, &TPainelEntradas::ConclusaoMudou, this, [this] {
        QString erro;
        if (FiSessao == 0 && FiUltimaSessao != 0 &&
            !FBanco->AtualizarComentarios(FiUltimaSessao, FEntradas->MotivoParada(),
                                          FEntradas->Comentarios(), &erro))
            MostrarFalhaGravacao(erro);
        else if (FiSessao == 0 && FiUltimaSessao != 0)
            GravarDadosClinicos();  // a stop for angina makes the angina index 2
    });
    FTeclas = new TTeclasParada([this] { return EmTeste(); }, [this] { Parar(); }, this);
    FReabertura = new TReabertura(this);
    connect(FReabertura, &TReabertura::DispositivoDisponivel, this,
            &TfrmConsole::DispositivoDeVolta);
    FClinico = new TAcompanhamentoClinico(std::make_shared<TRelogioMonotonico>(), this);
    connect(FClinico, &TAcompanhamentoClinico::Aviso, this, &TfrmConsole::AvisoClinico);
    FMonitor = new TMonitorCardiaco(this);
    connect(FMonitor, &TMonitorCardiaco::TextoMudou, this, &TfrmConsole::MostrarFc);
    connect(FMonitor, &TMonitorCardiaco::Aviso, this, &TfrmConsole::AvisoCardiaco);
    MostrarFc(FMonitor->Texto());
    connect(FEscolhaCinta, &TEscolhaCinta::Mudou, this, [this] {
        if (!FEscolhaCinta->TracoEscolhido() && !FEscolhaCinta->Escolha().Salvar())
            FEscolhaCinta->MostrarSituacao(tr("Não foi possível guardar a escolha da cinta."));
        TrocarFonteCardiaca();
    });
    TrocarFonteCardiaca();
    FRelogioTela = new QTimer(this);
    FRelogioTela->setInterval(200);
    connect(FRelogioTela, &QTimer::timeout, this, &TfrmConsole::AtualizarContagem);
    AtualizarDispositivo();
    AplicarUnidade();
    AtualizarControles();
}

TfrmConsole::~TfrmConsole()
{
    // The runner stops a running belt before it goes; then the recording is closed.
    FReabertura->Parar();
    const TSessao::TSituacao situacao = SituacaoAoFechar();
    FExecutor.reset();
    if (FiSessao)
        FinalizarSessao(situacao);
    EncerrarGravador();
    FEsteira.reset();
}

QWidget *TfrmConsole::CriarExecucao()
{
    auto *painel = new QWidget;
    auto *layout = new QVBoxLayout(painel);
    auto *valores = new QGridLayout;
    const QString tempo = QStringLiteral("888:88");
    FDecorrido = Valor(QStringLiteral("lblDecorrido"), 28, {tempo, tr("Início em %1").arg(10)});
    FNoEstagio = Valor(QStringLiteral("lblNoEstagio"), 18, {tempo});
    FProximo = Valor(QStringLiteral("lblProximo"), 18, {tempo});
    FFase = Valor(QStringLiteral("lblFase"), 18,
                  {tr("%1, estágio %2").arg(TResumoSessao::NomeFaseExibido(0)).arg(88)});
    FAlvo = Valor(QStringLiteral("lblAlvo"), 22,
                  {QStringLiteral("88.8 km/h   88.8 %"), QStringLiteral("88.88 mph   88.8 %")});
    FLink = Valor(QStringLiteral("lblLink"), 18, {});
    QStringList estados;
    for (int e = 0; e <= int(TEstadoExecucao::Concluido); ++e)
        estados << NomeEstadoExibido(TEstadoExecucao(e));
    FEstado = Valor(QStringLiteral("lblEstado"), 22, estados);
    FFc = Valor(QStringLiteral("lblFc"), 34,
                {QStringLiteral("888 bpm 888 % máx."), TMonitorCardiaco::kSemSinal});
    FMets = Valor(QStringLiteral("lblMets"), 22, {QStringLiteral("88.8 METs")});
    const std::pair<const char *, QLabel *> linhas[] = {
        {QT_TRANSLATE_NOOP("TfrmConsole", "Tempo total"), FDecorrido},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Situação"), FEstado},
        {QT_TRANSLATE_NOOP("TfrmConsole", "No estágio"), FNoEstagio},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Próximo estágio em"), FProximo},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Fase e estágio"), FFase},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Alvo"), FAlvo},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Frequência cardíaca"), FFc},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Carga"), FMets},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Esteira"), FLink}};
    int i = 0;
    for (const auto &[titulo, rotulo] : linhas) {
        valores->addWidget(new QLabel(tr(titulo) + QLatin1Char(':')), i / 2, (i % 2) * 2);
        valores->addWidget(rotulo, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    layout->addLayout(valores);
    FAvisoClinico = new QLabel;
    FAvisoClinico->setObjectName(QStringLiteral("lblAvisoClinico"));
    FAvisoClinico->setWordWrap(true);
    FAvisoClinico->setStyleSheet(
        QStringLiteral("color: white; background: #c00000; font-weight: bold; padding: 4px;"));
    FAvisoClinico->hide();
    layout->addWidget(FAvisoClinico);
    // The belt above, the heart rate below, on the same minutes: the plots line up.
    FGrafico = new TvtxGraph;
    FGrafico->setObjectName(QStringLiteral("grafico"));
    FGraficoFc = new TvtxGraph;
    FGraficoFc->setObjectName(QStringLiteral("graficoFc"));
    for (TvtxGraph *g : {FGrafico, FGraficoFc}) {
        g->XAxis()->SetDivisionWidth(42);
        g->YAxis()->SetDivisionWidth(g == FGrafico ? 22 : 19);
    }
    FDesenho = std::make_unique<TGraficoSessao>(*FGrafico);
    FDesenho->Preparar();
    FDesenhoFc = std::make_unique<TGraficoCardiaco>(*FGraficoFc);
    FDesenhoFc->Preparar();
    auto *graficoLinha = new QHBoxLayout;
    auto *graficos = new QVBoxLayout;
    graficos->addWidget(FGrafico, 0, Qt::AlignHCenter);
    graficos->addWidget(FGraficoFc, 0, Qt::AlignHCenter);
    graficos->addStretch();
    graficoLinha->addLayout(graficos);
    FLog = new QListWidget;
    FLog->setObjectName(QStringLiteral("lstEventos"));
    FLog->setFocusPolicy(Qt::NoFocus);
    // A long event wraps within the list rather than going behind its scroll bar.
    FLog->setWordWrap(true);
    FLog->setResizeMode(QListView::Adjust);
    FLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FLog->setMinimumWidth(260);
    // The events and the entries beside the charts: the window fits a 1280 x 800 screen.
    auto *direita = new QVBoxLayout;
    direita->addWidget(FLog, 1);
    FEntradas = new TPainelEntradas;
    direita->addWidget(FEntradas);
    graficoLinha->addLayout(direita, 1);
    layout->addLayout(graficoLinha, 1);
    layout->addWidget(CriarControles());
    return painel;
}

QWidget *TfrmConsole::CriarControles()
{
    // Two rows, the test's course above the manual changes, PARAR tall beside both.
    auto *painel = new QWidget;
    auto *grade = new QGridLayout(painel);
    grade->setContentsMargins(0, 0, 0, 0);
    FIniciar = Botao(tr("Iniciar"), QStringLiteral("btnIniciar"));
    FPausar = Botao(tr("Pausar"), QStringLiteral("btnPausar"));
    FProximoEstagio = Botao(tr("Próximo estágio"), QStringLiteral("btnProximo"));
    FRecuperacao = Botao(tr("Recuperação"), QStringLiteral("btnRecuperacao"));
    FEncerrar = Botao(tr("Encerrar teste"), QStringLiteral("btnEncerrar"));
    FEncerrar->setToolTip(
        tr("Fecha os registros do teste (depois da parada, os "
           "registros da recuperação continuam abertos)"));
    int coluna = 0;
    for (QPushButton *b : {FIniciar, FPausar, FProximoEstagio, FRecuperacao})
        grade->addWidget(b, 0, coluna++);
    coluna = 0;
    const std::tuple<const char *, const char *, double, double> manuais[] = {
        {QT_TRANSLATE_NOOP("TfrmConsole", "Velocidade −"), "btnVelocidadeMenos", -0.1, 0},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Velocidade +"), "btnVelocidadeMais", 0.1, 0},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Inclinação −"), "btnInclinacaoMenos", 0, -0.5},
        {QT_TRANSLATE_NOOP("TfrmConsole", "Inclinação +"), "btnInclinacaoMais", 0, 0.5}};
    for (const auto &[texto, nome, dv, di] : manuais) {
        QPushButton *b = Botao(tr(texto), QString::fromLatin1(nome));
        // Init-captures: clang 14 cannot capture a structured binding.
        connect(b, &QPushButton::clicked, this,
                [this, velocidade = dv, inclinacao = di] { Manual(velocidade, inclinacao); });
        FManuais << b;
        grade->addWidget(b, 1, coluna++);
    }
    FParar = Botao(tr("PARAR"), QStringLiteral("btnParar"));
    FParar->setMinimumSize(160, 64);
    FParar->setStyleSheet(QStringLiteral(
        "QPushButton { background: #c00000; color: white; font-size: 26px; font-weight: bold; }"));
    FParar->setToolTip(tr("Para a esteira (Espaço ou Esc)"));
    grade->addWidget(FParar, 0, 4, 2, 1);
    // Each button does what it said when it was clicked, even when the state has just moved
    // on: a cancel arriving after the countdown's end stops the belt (the runner decides).
    connect(FIniciar, &QPushButton::clicked, this, [this] {
        if (FIniciar->property("cancelar").toBool()) {
            if (FExecutor)
                FExecutor->CancelarContagem();
        } else {
            IniciarTeste();
        }
    });
    connect(FPausar, &QPushButton::clicked, this, &TfrmConsole::PausarOuRetomar);
    connect(FProximoEstagio, &QPushButton::clicked, this, [this] {
        if (FExecutor)
            FExecutor->ProximoEstagio();
    });
    connect(FRecuperacao, &QPushButton::clicked, this, [this] {
        if (FExecutor)
            FExecutor->IrParaRecuperacao();
    });
    connect(FParar, &QPushButton::clicked, this, &TfrmConsole::Parar);
    grade->addWidget(FEncerrar, 0, 5);
    connect(FEncerrar, &QPushButton::clicked, this, &TfrmConsole::EncerrarTeste);
    return painel;
}

void TfrmConsole::CriarMenus()
{
    QMenu *arquivo = menuBar()->addMenu(tr("&Arquivo"));
    arquivo->addAction(tr("&Sessões..."), this, &TfrmConsole::AbrirSessoes)
        ->setObjectName(QStringLiteral("actSessoes"));
    arquivo->addAction(tr("&Pacientes..."), FPaciente, &TPainelPaciente::AbrirPacientes);
    FAcoesComDialogo << arquivo->addAction(tr("&Relatório do último teste..."), this, [this] {
        if (!FiUltimaSessao)
            return ShowErrorMessage(tr("Nenhum teste foi feito nesta execução."));
        const QString pdf = QFileDialog::getSaveFileName(
            this, tr("Salvar relatório"),
            TfrmSessoes::ArquivoProposto(*FBanco, FiUltimaSessao, QStringLiteral("pdf")),
            tr("PDF (*.pdf)"));
        if (pdf.isEmpty())
            return;
        TfrmSessoes::LembrarPasta(pdf);
        ImprimirRelatorio(FiUltimaSessao, pdf);
    });
    FAcoesComDialogo << arquivo->addAction(tr("&Imprimir relatório do último teste"), this, [this] {
        if (FiUltimaSessao)
            ImprimirRelatorio(FiUltimaSessao);
    });
    arquivo->addAction(tr("Resultados do último &teste"), this, [this] {
        if (!FiUltimaSessao)
            return ShowErrorMessage(tr("Nenhum teste foi feito nesta execução."));
        MostrarResultados(FiUltimaSessao);
    });
    FAcoesComDialogo << arquivo->addAction(tr("&Configurações..."), this, [this] {
        TfrmConfiguracoes configuracoes(this);
        if (configuracoes.exec() == QDialog::Accepted)
            AplicarUnidade();
    });
    arquivo->addSeparator();
    arquivo->addAction(tr("Sai&r"), this, &QWidget::close);
    // The editor never touches the board; modal, so it is off during a test like the other boxes.
    FAcoesComDialogo
        << menuBar()->addMenu(tr("P&rotocolos"))->addAction(tr("&Editor..."), this, [this] {
               TfrmEditorProtocolos editor(QString(), this);
               editor.exec();
               if (editor.Alterou())
                   FProtocolo->RecarregarBiblioteca();
           });
    CriarMenuIdioma();
}

// The same entries as the controller's: the choice is kept and applies at the next start.
void TfrmConsole::CriarMenuIdioma()
{
    QMenu *menu = menuBar()->addMenu(tr("&Idioma"));
    menu->setObjectName(QStringLiteral("mnuIdioma"));
    PreencherMenuIdioma(*menu, IdiomaPreferidoConsole(), [](std::optional<TIdioma> idioma) {
        if (!GravarIdiomaPreferidoConsole(idioma))
            ShowErrorMessage(tr("Não foi possível gravar a escolha do idioma."));
    });
}

void TfrmConsole::AtualizarDispositivo()
{
    const int porta = FPorta->value();
    FDispositivo->setText(QStringLiteral("= %1").arg(
        QString::fromStdString(kestrova::comm::PortDeviceName(unsigned(porta)))));
}

bool TfrmConsole::EmTeste() const
{
    return FExecutor && Rodando(FExecutor->Estado());
}

void TfrmConsole::PrepararDispositivo()
{
    const int porta = FPorta->value();
    if (FEsteira && porta == FiPortaAberta && !FbDispositivoPerdido)
        return;
    FReabertura->Parar();
    FbDispositivoPerdido = false;
    FAvisoPorta.clear();
    FExecutor.reset();
    FEsteira.reset();
    if (OnAntesDeConectar)
        OnAntesDeConectar(porta);
    AtualizarDispositivo();
    FEsteira = CriarEsteira(porta, false);
    FiPortaAberta = porta;
    if (FEsteira->Porta() && FEsteira->Porta()->Opened())  // the next start proposes it
        PreferenciasConsole().setValue(QStringLiteral("porta"), porta);
    VigiarPorta();
    FExecutor = std::make_unique<TExecutorProtocolo>(FEsteira.get());
    connect(FExecutor.get(), &TExecutorProtocolo::Evento, this, &TfrmConsole::AoEvento);
    connect(FExecutor.get(), &TExecutorProtocolo::Amostra, this, &TfrmConsole::AoAmostra);
    connect(FExecutor.get(), &TExecutorProtocolo::EstadoMudou, this, &TfrmConsole::AoEstado);
}

std::unique_ptr<TOrvanta> TfrmConsole::CriarEsteira(int porta, bool silencioso)
{
    // A reopening that fails says nothing: the next attempt comes a second later.
    TErrorMessageHook anterior;
    if (silencioso)
        anterior = SetErrorMessageHook([](const QString &) {});
    std::unique_ptr<TOrvanta> esteira;
    try {
        // Answers on the port's reader thread: a test's exchanges never wait for a busy window.
        esteira = std::make_unique<TOrvanta>(this, porta, TOrvanta::TRespostas::NaLeitura);
    } catch (...) {
        if (silencioso)
            SetErrorMessageHook(anterior);
        throw;
    }
    if (silencioso)
        SetErrorMessageHook(anterior);
    return esteira;
}

// The port's reader reports a lost device at once (queued from its thread).
void TfrmConsole::VigiarPorta()
{
    ++FuEsteira;
    if (!FEsteira || !FEsteira->Porta())
        return;
    connect(FEsteira->Porta(), &TComThread::DeviceLost, this,
            [this, esteira = FuEsteira](const QString &motivo) {
                if (esteira == FuEsteira)
                    PerdeuDispositivo(motivo);
            });
}

// Shown at once in words; the protocol holds (the runner loses the link and sends nothing more).
// The dead port is closed, so that the driver can give the returning adapter its old name, and
// the same device is tried again once a second, off the GUI thread, as in the controller window.
void TfrmConsole::PerdeuDispositivo(const QString &motivo)
{
    if (FbDispositivoPerdido || !FEsteira || !FEsteira->Porta())
        return;
    const QString dispositivo = FEsteira->Porta()->DeviceName();
    FbDispositivoPerdido = true;
    Trace(QStringLiteral("dispositivo perdido: %1 (%2)").arg(dispositivo, motivo));
    const bool contagem = FExecutor && FExecutor->Estado() == TEstadoExecucao::Contagem;
    if (FExecutor)
        FExecutor->TrocarDispositivo(nullptr);  // waits for an exchange in flight
    FEsteira.reset();
    ++FuEsteira;
    // What the runner does: a countdown is cancelled (nothing was sent), a test holds.
    FAvisoPorta = (contagem ? tr("PORTA PERDIDA: contagem cancelada, nada foi "
                                 "enviado; tentando reabrir %1 a cada segundo")
                            : tr("PORTA PERDIDA: protocolo em espera; tentando "
                                 "reabrir %1 a cada segundo"))
                      .arg(dispositivo);
    MostrarLink(FAvisoPorta, true);
    FLink->setToolTip(motivo);
    FReabertura->Iniciar(dispositivo, FiIntervaloReabertura);
    AtualizarControles();
}

// The device is back: the runner gets the new port, but nothing is sent. A held test waits for
// the operator's Retomar (or PARAR); a stop asked for meanwhile goes out now.
void TfrmConsole::DispositivoDeVolta()
{
    if (!FbDispositivoPerdido)
        return;
    std::unique_ptr<TOrvanta> nova = CriarEsteira(FiPortaAberta, true);
    if (!nova->Porta() || !nova->Porta()->Opened())
        return;  // there, but not usable yet
    FReabertura->Parar();
    Trace(QStringLiteral("dispositivo reaberto: %1").arg(FReabertura->Dispositivo()));
    FEsteira = std::move(nova);
    FbDispositivoPerdido = false;
    VigiarPorta();
    if (FExecutor)
        FExecutor->TrocarDispositivo(FEsteira.get());
    FAvisoPorta = EmTeste() ? tr("Porta reaberta: nada foi enviado; pressione "
                                 "Retomar para continuar ou PARAR")
                            : tr("Porta reaberta");
    MostrarLink(FAvisoPorta, EmTeste());
    FLink->setToolTip(QString());
    AtualizarControles();
}

void TfrmConsole::AjustarFonteCardiaca(std::unique_ptr<TFonteCardiaca> fonte)
{
    FMonitor->AjustarFonte(std::move(fonte));
}

void TfrmConsole::OferecerDemonstracao(bool simulada, const std::optional<TTracoCardiaco> &traco,
                                       const QString &nomeTraco)
{
    FEscolhaCinta->OferecerDemonstracao(simulada, traco, nomeTraco);
    TrocarFonteCardiaca();
}

// The set-up is locked during a test: the source changes only between tests.
void TfrmConsole::TrocarFonteCardiaca()
{
    FMonitor->AjustarFonte(FEscolhaCinta->CriarFonte(std::make_shared<TRelogioMonotonico>()));
}

// A warning stands out in the running view until the next test, and goes to the session.
void TfrmConsole::AvisoClinico(const QString &texto)
{
    FAvisoClinico->setText(tr("ATENÇÃO: %1").arg(TTextosClinicos::Traduzir(texto)));
    FAvisoClinico->show();
    RegistrarNota(QStringLiteral("aviso"), texto, tr("ATENÇÃO: "));
}

void TfrmConsole::AplicarUnidade()
{
    FUnidade = TfrmConfiguracoes::UnidadeVelocidade();
    FProtocolo->AjustarUnidade(FUnidade);
    FDesenho->AjustarEscala(TfrmConfiguracoes::Escala(FUnidade));
    // The settings are off during a test: the chart shows the last test, or nothing yet.
    if (FiUltimaSessao)
        FDesenho->Redesenhar(FBanco->LerAmostras(FiUltimaSessao),
                             FBanco->LerEventos(FiUltimaSessao));
    else
        FDesenho->Preparar();
    if (FExecutor)
        MostrarAmostra(FExecutor->UltimaAmostra());
}

// After the test: the ST deviation and angina index the entries and the stop reason give.
void TfrmConsole::GravarDadosClinicos()
{
    if (!FSessao.id)
        return;
    FClinico->Concluir(FSessao, FEntradas->MotivoParada());
    QString erro;
    if (!FBanco->AtualizarDadosClinicos(FSessao, &erro))
        MostrarFalhaGravacao(erro);
}

void TfrmConsole::MostrarFc(const QString &texto)
{
    const bool numero = texto.toInt() > 0;
    const QString fracao = numero ? FClinico->TextoFracao(texto.toInt()) : QString();
    // The share of the predicted maximum beside the rate, in a smaller type.
    FFc->setText(!numero ? TraduzirSituacaoCardiaca(texto)
                 : fracao.isEmpty()
                     ? texto + QStringLiteral(" bpm")
                     : QStringLiteral("%1 bpm <span style=\"font-size: 16px\">%2</span>")
                           .arg(texto, fracao.toHtmlEscaped()));
    FFc->setStyleSheet(numero ? QStringLiteral("color: #c00000;") : QStringLiteral("color: gray;"));
}

void TfrmConsole::AvisoCardiaco(const QString &texto)
{
    RegistrarNota(QStringLiteral("sinal_fc"), texto);
}

// Shown in the events list (red after a prefix) and recorded with the test's events, on the
// test's own clock.
void TfrmConsole::RegistrarNota(const QString &tipo, const QString &texto, const QString &prefixo)
{
    const qint64 agora = EmTeste() ? TempoAtual() : FUltimaAmostra.tempoMs;
    // The text is recorded in Portuguese and shown in the language installed.
    TEventoRegistro nota;
    nota.tipo = tipo;
    nota.texto = texto;
    const QString mostrado = TTextoEvento::Exibido(nota);
    FLog->addItem(QStringLiteral("%1  %2%3").arg(TResumoSessao::Tempo(agora), prefixo, mostrado));
    if (!prefixo.isEmpty())
        FLog->item(FLog->count() - 1)->setForeground(QColor(0xc0, 0, 0));
    FLog->scrollToBottom();
    if (!FGravador)
        return;
    TEventoRegistro e;
    e.tempoMs = agora;
    e.tipo = tipo;
    e.estado = int(FUltimaAmostra.estado);
    e.fase = int(FUltimaAmostra.fase);
    e.estagio = FUltimaAmostra.estagio;
    e.texto = texto;
    FGravador->Evento(e);
}

void TfrmConsole::MostrarLink(const QString &texto, bool falha)
{
    FLink->setText(texto);
    FLink->setStyleSheet(falha ? QStringLiteral("color: #c00000;") : QString());
}

bool TfrmConsole::IniciarTeste()
{
    if (EmTeste())
        return false;
    try {
        QString erro;
        TPaciente paciente = FPaciente->Paciente();
        if (const QString problema = FPaciente->Verificar(); !problema.isEmpty())
            throw Exception(problema);
        const std::optional<TProtocolo> protocolo = FProtocolo->Protocolo(&erro);
        if (!protocolo)
            throw Exception(erro);
        // A database that cannot take the test is reported now, never in the middle of it.
        // A server that did not answer when the program opened is tried again now.
        if (!FBanco->Aberto() && FBanco->Endereco().Servidor() &&
            !FBanco->Abrir(FBanco->Caminho(), &erro))
            throw Exception(erro);
        if (!FBanco->Aberto())
            throw Exception(tr("O banco de sessões não abriu; o teste não seria gravado. "
                               "Feche a outra janela de Teste de esforço que o usa, ou veja a "
                               "permissão de escrita da pasta, e abra o programa de novo.\n"
                               "Arquivo: %1")
                                .arg(QDir::toNativeSeparators(FBanco->Caminho())));
        if (!FBanco->VerificarGravacao(&erro))
            throw Exception(erro);
        PrepararDispositivo();
        FExecutor->AjustarProtocolo(*protocolo);
        FExecutor->AjustarLimites(FProtocolo->VelocidadeMaxima(), FProtocolo->InclinacaoMaxima());
        FExecutor->AjustarRecuperacao(FProtocolo->RecuperacaoMs(),
                                      FProtocolo->RecuperacaoVelocidade(),
                                      FProtocolo->RecuperacaoInclinacao());
        FExecutor->AjustarAceitarLimitacao(FProtocolo->AceitarLimitacao());
        FExecutor->AjustarEscalaTempo(FdEscala);
        // A start the runner would refuse records nothing.
        if (const QString motivo = FExecutor->MotivoRecusa(); !motivo.isEmpty())
            throw Exception(motivo);
        EncerrarGravador();  // the earlier test's last events are in
        FbParadaNaoConfirmada = false;

        FSessao = TSessao{};
        // A chosen patient is updated with what was typed, a new one stored; the block then
        // holds it, so the next test of the same person reuses the row.
        paciente.id = FBanco->GravarPaciente(paciente, &erro);
        if (!paciente.id)
            throw Exception(erro);
        FPaciente->AjustarPaciente(paciente);
        FSessao.pacienteId = paciente.id;
        FSessao.betabloqueador = FPaciente->Betabloqueador();
        FSessao.formulaFcMaxima =
            TBancoSessoes::FormulaDoCodigo(TfrmConfiguracoes::FormulaFcMaxima());
        FSessao.percentualFcAlvo = TfrmConfiguracoes::PercentualAlvo();
        FSessao.peso = paciente.peso;
        FSessao.altura = paciente.altura;
        FSessao.protocoloId = protocolo->id;
        FSessao.protocoloNome = protocolo->nome;
        FSessao.protocoloPassos = TPainelProtocolo::DescreverPassos(*protocolo);
        FSessao.velocidadeMaxima = FProtocolo->VelocidadeMaxima();
        FSessao.inclinacaoMaxima = FProtocolo->InclinacaoMaxima();
        FSessao.recuperacaoMs = FProtocolo->RecuperacaoMs();
        FSessao.recuperacaoVelocidade = FProtocolo->RecuperacaoVelocidade();
        FSessao.recuperacaoInclinacao = FProtocolo->RecuperacaoInclinacao();
        FSessao.inicio = QDateTime::currentDateTimeUtc();
        // The patient's age on the test's date gives the predicted maximum.
        const QList<TEventoRegistro> repouso =
            FClinico->IniciarTeste(FSessao, paciente, FMonitor->FcAtual());
        FSessao.id = FBanco->IniciarSessao(FSessao, &erro);
        if (!FSessao.id)
            throw Exception(erro);
        FiSessao = FiUltimaSessao = FSessao.id;
        FGravador = std::make_unique<TGravadorSessao>(*FBanco, FiSessao);
        connect(FGravador.get(), &TGravadorSessao::Falha, this, &TfrmConsole::MostrarFalhaGravacao);
        connect(FGravador.get(), &TGravadorSessao::Recuperado, this, [this] {
            FGravacao->setStyleSheet(QString());
            FGravacao->setText(tr("Gravação retomada."));
        });
        connect(FGravador.get(), &TGravadorSessao::ServidorIndisponivel, this,
                [this](const QString &, qint64 pendentes) {
                    FGravacao->setStyleSheet(QStringLiteral("background: #ffd24d;"));
                    FGravacao->setText(tr("Servidor de sessões indisponível: gravando "
                                          "localmente; %1 registros aguardando")
                                           .arg(pendentes));
                });
        connect(FGravador.get(), &TGravadorSessao::ServidorDeVolta, this, [this] {
            FGravacao->setStyleSheet(QString());
            FGravacao->setText(tr("Servidor de sessões de volta: registros enviados."));
            GravarFimPendente();
        });
        FGravacao->setStyleSheet(QString());
        FGravacao->setText(tr("Gravando o teste %1 em %2").arg(FiSessao).arg(FBanco->Caminho()));
        FEntradas->Limpar();
        FLog->clear();
        FAvisoClinico->hide();
        for (const TEventoRegistro &e : repouso) {
            FGravador->Evento(e);
            FLog->addItem(tr("Repouso: %1").arg(TTextoEvento::Exibido(e)));
        }
        FDesenhoFc->AjustarAlvo(FClinico->FcAlvo());
        FUltimaAmostra = TAmostraExecucao{};
        FdAlvoVelocidade = FdAlvoInclinacao = 0;
        const qint64 duracao = TPainelProtocolo::Duracao(*protocolo) + FProtocolo->RecuperacaoMs();
        FDesenho->Preparar(duracao);
        FDesenhoFc->Preparar(duracao);
        FContagem.start();
        FRelogioTela->start();
        FMonitor->IniciarTeste(TExecutorProtocolo::kContagemMs, FdEscala);
        FExecutor->Iniciar();
        if (FExecutor->Estado() != TEstadoExecucao::Contagem)  // refused after all
            FinalizarSessao(TSessao::TSituacao::Parada);
        AtualizarControles();
        return FiSessao != 0;
    } catch (const Exception &erro) {
        ShowErrorMessage(erro.Message());
        AtualizarControles();
        return false;
    }
}

void TfrmConsole::MostrarFalhaGravacao(const QString &mensagem)
{
    FGravacao->setStyleSheet(QStringLiteral("color: white; background: #c00000;"));
    FGravacao->setText(mensagem + tr(" (o teste continua na esteira)"));
}

void TfrmConsole::Parar()
{
    if (FExecutor && Rodando(FExecutor->Estado())) {
        if (FExecutor->Estado() == TEstadoExecucao::Contagem)
            FExecutor->CancelarContagem();
        else
            FExecutor->Parar();
    }
}

// What the button said when it was clicked: a pause clicked just as the link is lost stays a
// pause (which the lost link ignores), never a resume.
void TfrmConsole::PausarOuRetomar()
{
    if (!FExecutor)
        return;
    if (FPausar->property("retomar").toBool())
        FExecutor->Retomar();
    else
        FExecutor->Pausar();
}

void TfrmConsole::Manual(double dVelocidade, double dInclinacao)
{
    if (!EmTeste())
        return;
    // From the last target sent (its event), not from the last sample, which may predate it.
    if (dVelocidade != 0)
        FExecutor->AjustarVelocidadeManual(std::max(0.0, FdAlvoVelocidade + dVelocidade));
    if (dInclinacao != 0)
        FExecutor->AjustarInclinacaoManual(std::max(0.0, FdAlvoInclinacao + dInclinacao));
}

qint64 TfrmConsole::TempoAtual() const
{
    if (!FDesdeAmostra.isValid())
        return FUltimaAmostra.tempoMs;
    const bool parado = FExecutor && (FExecutor->Estado() == TEstadoExecucao::Pausado ||
                                      !Rodando(FExecutor->Estado()));
    return FUltimaAmostra.tempoMs +
           (parado ? 0 : qint64(double(FDesdeAmostra.elapsed()) * FdEscala));
}

void TfrmConsole::AoEvento(const TEventoExecucao &evento)
{
    // The runner's text is recorded in Portuguese and in km/h; the list says it in the
    // language and the unit shown.
    FLog->addItem(QStringLiteral("%1  %2").arg(
        TResumoSessao::Tempo(evento.tempoMs),
        FUnidade.TextoNaUnidade(TTextosExecucao::Traduzir(evento.texto))));
    // Failures stand out: a lost link, a hold because the window did not answer.
    if (evento.tipo == TEventoExecucao::TTipo::Falha)
        FLog->item(FLog->count() - 1)->setForeground(QColor(0xc0, 0, 0));
    FLog->scrollToBottom();
    const TEventoRegistro registro = Registro(evento);
    if (evento.tipo == TEventoExecucao::TTipo::Alvo) {
        FdAlvoVelocidade = evento.velocidade;
        FdAlvoInclinacao = evento.inclinacao;
    }
    // After the session's end the recorder stays for the run's last events (a retried stop).
    if (FGravador)
        FGravador->Evento(registro);
    FDesenho->Evento(registro);
    FDesenhoFc->Evento(registro);
    if (FbParadaNaoConfirmada && FExecutor && !FExecutor->ParadaPendente()) {
        FbParadaNaoConfirmada = false;  // a retry went through: the session ended as it did
        FSessao.situacao = FSituacaoConfirmada;
        FSessao.motivoParada = FEntradas->MotivoParada();
        FSessao.comentarios = FEntradas->Comentarios();
        QString erro;
        if (!FBanco->FinalizarSessao(FSessao, &erro))
            MostrarFalhaGravacao(erro);
        MostrarLink(tr("Parada confirmada pela esteira."), false);
    }
}

void TfrmConsole::AoAmostra(const TAmostraExecucao &a)
{
    FUltimaAmostra = a;
    FDesdeAmostra.start();
    if (a.velocidadeConhecida && a.inclinacaoConhecida)
        FMonitor->AjustarCarga(a.velocidadeConfirmada, a.inclinacaoConfirmada);
    TAmostraRegistro registro = Registro(a);
    FMonitor->Completar(registro);
    if (FGravador)
        FGravador->Amostra(registro);
    FDesenho->Amostra(registro);
    FDesenhoFc->Amostra(registro);
    FClinico->Amostra(registro);
    FMets->setText(TAcompanhamentoClinico::TextoMets(
        registro, a.velocidadeConhecida && a.inclinacaoConhecida));
    Trace(QStringLiteral("amostra %1 registrada").arg(a.tempoMs));
    MostrarAmostra(a);
}

void TfrmConsole::MostrarAmostra(const TAmostraExecucao &a)
{
    FDecorrido->setText(TResumoSessao::Tempo(a.tempoMs));
    FNoEstagio->setText(TResumoSessao::Tempo(a.tempoNoEstagioMs));
    FProximo->setText(a.tempoParaProximoMs < 0 ? QStringLiteral("-")
                                               : TResumoSessao::Tempo(a.tempoParaProximoMs));
    FFase->setText(
        tr("%1, estágio %2").arg(TResumoSessao::NomeFaseExibido(int(a.fase))).arg(a.estagio));
    FAlvo->setText(FUnidade.Texto(a.velocidadeAlvo) + QStringLiteral("   ") +
                   Pct(a.inclinacaoAlvo));
    if (a.linkOk)
        FAvisoPorta.clear();
    const QString velocidade = a.velocidadeConhecida ? FUnidade.Texto(a.velocidadeConfirmada)
                                                     : QStringLiteral("- ") + FUnidade.Simbolo();
    const QString inclinacao =
        a.inclinacaoConhecida ? Pct(a.inclinacaoConfirmada) : QStringLiteral("- %");
    MostrarLink(a.linkOk ? tr("Conectada: %1, %2").arg(velocidade, inclinacao)
                         : (FAvisoPorta.isEmpty() ? tr("SEM COMUNICAÇÃO") : FAvisoPorta),
                !a.linkOk);
}

// Entries are taken from the test's start until it is closed ("Encerrar teste", the next test,
// the window's close): the recovery readings after the stop go on the test's own clock.
void TfrmConsole::AoEntrada(const TEventoRegistro &entrada)
{
    if (!FGravador) {  // no test is recorded: a resting value for the next one
        FClinico->Repouso(entrada);
        FLog->addItem(tr("Repouso: %1").arg(TTextoEvento::Exibido(entrada)));
        FLog->scrollToBottom();
        return;
    }
    TEventoRegistro e = entrada;
    const TAmostraExecucao agora =
        EmTeste() || !FExecutor ? FUltimaAmostra : FExecutor->UltimaAmostra();
    e.tempoMs = EmTeste() || !FExecutor ? TempoAtual() : agora.tempoMs;
    e.estado = int(agora.estado);
    e.fase = int(agora.fase);
    e.estagio = agora.estagio;
    FGravador->Evento(e);
    FDesenho->Evento(e);
    FDesenhoFc->Evento(e);
    FClinico->Entrada(e);
    FLog->addItem(
        QStringLiteral("%1  %2").arg(TResumoSessao::Tempo(e.tempoMs), TTextoEvento::Exibido(e)));
    FLog->scrollToBottom();
}

void TfrmConsole::AoEstado(TEstadoExecucao estado)
{
    FEstado->setText(NomeEstadoExibido(estado));
    if (estado == TEstadoExecucao::LinkPerdido)
        MostrarLink(
            FAvisoPorta.isEmpty() ? tr("SEM COMUNICAÇÃO: protocolo em espera") : FAvisoPorta, true);
    const bool fim = estado == TEstadoExecucao::Concluido || estado == TEstadoExecucao::Parado;
    if (fim && FExecutor)
        MostrarAmostra(FExecutor->UltimaAmostra());  // what the board holds now: 0 after a stop
    if (FiSessao && estado == TEstadoExecucao::Concluido)
        FinalizarSessao(TSessao::TSituacao::Concluida);
    else if (FiSessao && estado == TEstadoExecucao::Parado)
        FinalizarSessao(TSessao::TSituacao::Parada);
    else if (FiSessao && estado == TEstadoExecucao::Pronto)
        FinalizarSessao(TSessao::TSituacao::Parada);  // countdown cancelled
    if (estado == TEstadoExecucao::Parado && FEntradas->MotivoParada().isEmpty())
        PerguntarMotivo();
    AtualizarControles();
}

// Asked when a test is stopped, in a box that blocks nothing: the operator may skip it, and the
// reason stays editable in the entries.
void TfrmConsole::PerguntarMotivo()
{
    if (findChild<QInputDialog *>(QStringLiteral("dlgMotivo")))
        return;
    auto *caixa = new QInputDialog(this);
    caixa->setObjectName(QStringLiteral("dlgMotivo"));
    caixa->setAttribute(Qt::WA_DeleteOnClose);
    caixa->setWindowTitle(tr("Motivo da interrupção"));
    caixa->setLabelText(tr("Por que o teste foi interrompido?"));
    caixa->setComboBoxItems(TPainelEntradas::Motivos());
    caixa->setComboBoxEditable(false);
    caixa->setOkButtonText(tr("Registrar"));
    caixa->setCancelButtonText(tr("Pular"));
    connect(caixa, &QInputDialog::textValueSelected, this,
            [this](const QString &motivo) { FEntradas->AjustarMotivoParada(motivo); });
    caixa->setModal(false);
    caixa->show();
}

void TfrmConsole::EncerrarTeste()
{
    if (EmTeste())
        return;
    FEntradas->ConfirmarComentarios();
    EncerrarGravador();
    GravarDadosClinicos();  // with the entries taken in the recovery
    FGravacao->setText(tr("Teste %1 encerrado.").arg(FiUltimaSessao));
    if (FiUltimaSessao)
        MostrarResultados(FiUltimaSessao);
    AtualizarControles();
}

void TfrmConsole::FinalizarSessao(TSessao::TSituacao situacao)
{
    FRelogioTela->stop();
    // Until the board acknowledges the stop the session says so; the runner keeps retrying.
    if (FExecutor && FExecutor->ParadaPendente() && !Rodando(FExecutor->Estado())) {
        FSituacaoConfirmada = situacao;
        situacao = TSessao::TSituacao::ParadaNaoConfirmada;
        FbParadaNaoConfirmada = true;
        MostrarLink(tr(kParadaNaoConfirmada), true);
    }
    // A server that is away keeps the recorder forwarding; a file's failure ends it.
    if (FGravador && !FGravador->Esvaziar(kEsperaGravacaoMs) && !FGravador->AguardandoServidor())
        EncerrarGravador();  // keeps what it could not write, and says so
    if (situacao == TSessao::TSituacao::Concluida && FEntradas->MotivoParada().isEmpty())
        FEntradas->AjustarMotivoParada(QStringLiteral("Teste completo"));
    FSessao.situacao = situacao;
    FSessao.duracaoMs = FUltimaAmostra.tempoMs;
    if (FExecutor)
        FSessao.duracaoMs = std::max(FSessao.duracaoMs, FExecutor->UltimaAmostra().tempoMs);
    FSessao.fim = QDateTime::currentDateTimeUtc();
    FSessao.motivoParada = FEntradas->MotivoParada();
    FSessao.comentarios = FEntradas->Comentarios();
    QString erro;
    FClinico->Concluir(FSessao, FSessao.motivoParada);
    if (FGravador && FGravador->AguardandoServidor()) {
        // Not tried now: the window would wait for the server's time-outs.
        FFimPendente = FSessao;
        FGravacao->setText(tr("Servidor de sessões indisponível: o fim do teste %1 "
                              "será gravado quando ele responder.")
                               .arg(FiSessao));
    } else if (!FBanco->FinalizarSessao(FSessao, &erro) ||
               !FBanco->AtualizarDadosClinicos(FSessao, &erro))
        MostrarFalhaGravacao(erro);
    else if (!FGravacao->styleSheet().isEmpty())
        ;  // a write failure stays shown
    else
        FGravacao->setText(tr("Teste %1 gravado.").arg(FiSessao));
    FiSessao = 0;
}

void TfrmConsole::GravarFimPendente()
{
    if (!FFimPendente)
        return;
    const TSessao sessao = *std::exchange(FFimPendente, std::nullopt);
    QString erro;
    if (!FBanco->FinalizarSessao(sessao, &erro) || !FBanco->AtualizarDadosClinicos(sessao, &erro))
        MostrarFalhaGravacao(erro);
    else
        FGravacao->setText(tr("Teste %1 gravado.").arg(sessao.id));
}

void TfrmConsole::EncerrarGravador()
{
    if (!FGravador)
        return;
    QString aviso;
    if (!FGravador->Encerrar(&aviso))
        MostrarFalhaGravacao(aviso);
    FGravador.reset();
}

void TfrmConsole::AtualizarControles()
{
    const TEstadoExecucao e = FExecutor ? FExecutor->Estado() : TEstadoExecucao::Pronto;
    const bool rodando = Rodando(e);
    const bool contagem = e == TEstadoExecucao::Contagem;
    const bool ativo = rodando && !contagem;
    FConfiguracao->setEnabled(!rodando);
    FIniciar->setEnabled(!rodando || contagem);
    FIniciar->setText(contagem ? tr("Cancelar") : tr("Iniciar"));
    // Retomar needs the device back: until then the held test waits (PARAR still works).
    FPausar->setEnabled(ativo && !FbDispositivoPerdido);
    FPausar->setText(e == TEstadoExecucao::Pausado || e == TEstadoExecucao::LinkPerdido
                         ? tr("Retomar")
                         : tr("Pausar"));
    FProximoEstagio->setEnabled(ativo && e != TEstadoExecucao::LinkPerdido);
    FRecuperacao->setEnabled(ativo && e != TEstadoExecucao::Recuperacao &&
                             e != TEstadoExecucao::LinkPerdido);
    for (QPushButton *b : FManuais)
        b->setEnabled(ativo && e != TEstadoExecucao::LinkPerdido);
    FParar->setEnabled(true);
    // Without a test recorded, entries are the next test's resting values.
    FEntradas->AjustarGravando(true);
    FEncerrar->setEnabled(FGravador && !rodando);
    FIniciar->setProperty("cancelar", contagem);
    FPausar->setProperty("retomar",
                         e == TEstadoExecucao::Pausado || e == TEstadoExecucao::LinkPerdido);
    for (QAction *acao : FAcoesComDialogo)
        acao->setEnabled(!rodando);
    if (FSessoes)
        FSessoes->AjustarEmTeste(rodando);
}

void TfrmConsole::AtualizarContagem()
{
    if (FExecutor && FExecutor->Estado() == TEstadoExecucao::Contagem) {
        const qint64 resta = kContagemMs - FContagem.elapsed();
        FDecorrido->setText(tr("Início em %1").arg(std::max<qint64>(resta, 0) / 1000 + 1));
    }
}

void TfrmConsole::closeEvent(QCloseEvent *event)
{
    FEntradas->ConfirmarComentarios();
    if (!FecharAposParada()) {
        event->ignore();
        return;
    }
    if (FiSessao)
        FinalizarSessao(SituacaoAoFechar());
    event->accept();
}

// The window goes only once the board acknowledged the stop. A stop that is not confirmed
// keeps the window (the runner retries it every second), says so, and records the session as
// such; closing again then asks whether to leave a belt that may still move.
bool TfrmConsole::FecharAposParada()
{
    const bool pendente = FExecutor && FExecutor->ParadaPendente();
    if (!EmTeste() && !pendente)
        return true;
    if (!EmTeste())
        return OnConfirmar(
            tr("A esteira ainda não confirmou a parada e pode estar "
               "em movimento. Fechar mesmo assim?"));
    if (!OnConfirmar(tr("Um teste está em andamento. Parar a esteira e fechar?")))
        return false;
    if (FEntradas->MotivoParada().isEmpty())
        FEntradas->AjustarMotivoParada(QStringLiteral("Decisão do operador"));
    FExecutor->Parar();
    QElapsedTimer espera;
    espera.start();
    while ((EmTeste() || FExecutor->ParadaPendente()) && espera.elapsed() < kEsperaParadaMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    if (!EmTeste() && !FExecutor->ParadaPendente())
        return true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // the run's events
    if (FiSessao && !EmTeste())
        FinalizarSessao(SituacaoAoFechar());
    MostrarLink(tr(kParadaNaoConfirmada), true);
    AtualizarControles();
    return false;
}

// The run may have ended with its last state change still queued for this window: a session
// left open is recorded by what the runner reached.
TSessao::TSituacao TfrmConsole::SituacaoAoFechar() const
{
    return FExecutor && FExecutor->Estado() == TEstadoExecucao::Concluido
               ? TSessao::TSituacao::Concluida
               : TSessao::TSituacao::Parada;
}

bool TfrmConsole::ImprimirRelatorio(qint64 sessaoId, const QString &pdf)
{
    FEntradas->ConfirmarComentarios();  // what is in the box is what the report prints
    try {
        TvtxGraph grafico;
        grafico.resize(FGrafico->size());
        const TEscalaVelocidade escala = TfrmConfiguracoes::Escala(FUnidade);
        TGraficoSessao desenho(grafico, escala);
        desenho.Redesenhar(FBanco->LerAmostras(sessaoId), FBanco->LerEventos(sessaoId));
        Printer()->SetPdfOutput(pdf);
        TRelatorioSessao::TDados dados = TRelatorioClinico::Carregar(*FBanco, sessaoId);
        dados.velocidade = escala;
        TRelatorioSessao::Imprimir(dados, grafico);
        return true;
    } catch (const Exception &erro) {
        ShowErrorMessage(tr("Não foi possível imprimir o relatório: %1").arg(erro.Message()));
        return false;
    }
}

bool TfrmConsole::ExportarCsv(qint64 sessaoId, const QString &arquivo, bool separadorDoLocal)
{
    TExportadorCsv::TOpcoes opcoes;
    opcoes.separadorDoLocal = separadorDoLocal;
    opcoes.nomeEstado = [](int e) { return NomeEstado(TEstadoExecucao(e)); };
    opcoes.mets = [](const TAmostraRegistro &a) {
        return TEquacoesMetabolicas::Mets(a.velocidadeConfirmada, a.inclinacaoConfirmada);
    };
    QString erro;
    if (!TExportadorCsv::Exportar(*FBanco, sessaoId, arquivo, opcoes, &erro)) {
        ShowErrorMessage(erro);
        return false;
    }
    return true;
}

TfrmResultados *TfrmConsole::Resultados() const
{
    return FResultados;
}

void TfrmConsole::MostrarResultados(qint64 sessaoId)
{
    if (!FResultados) {
        FResultados = new TfrmResultados(this);
        FResultados->setAttribute(Qt::WA_DeleteOnClose);
    }
    FResultados->Mostrar(TRelatorioClinico::Carregar(*FBanco, sessaoId));
    FResultados->show();
    FResultados->raise();
}

void TfrmConsole::AbrirSessoes()
{
    if (FSessoes)  // a fresh list: a test may have ended since it opened
        FSessoes->close();
    auto *janela = new TfrmSessoes(FBanco, this);
    janela->setAttribute(Qt::WA_DeleteOnClose);
    janela->AjustarEmTeste(EmTeste());
    FSessoes = janela;
    janela->OnRelatorio = [this](qint64 id, const QString &pdf) { ImprimirRelatorio(id, pdf); };
    janela->OnCsv = [this](qint64 id, const QString &arquivo, bool local) {
        ExportarCsv(id, arquivo, local);
    };
    janela->show();
}
