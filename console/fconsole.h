#pragma once

#include "kestrova_console_export.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "heartrate/tracocardiaco.h"
#include "protocol/amostraexecucao.h"
#include "protocol/estadoexecucao.h"
#include "protocol/eventoexecucao.h"
#include "protocol/unidadevelocidade.h"
#include "session/bancosessoes.h"
#include "session/registrossessao.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class TAcompanhamentoClinico;
class TEscolhaCinta;
class TExecutorProtocolo;
class TFonteCardiaca;
class TMonitorCardiaco;
class TGraficoCardiaco;
class TGraficoSessao;
class TGravadorSessao;
class TOrvanta;
class TPainelEntradas;
class TPainelPaciente;
class TPainelProtocolo;
class QAction;
class TReabertura;
class TTeclasParada;
class TfrmResultados;
class TfrmSessoes;
class TvtxGraph;

// The exercise-test console: set-up (patient, protocol, limits), the running view (times, phase,
// targets, link, the controls and PARAR, which Space and Escape also press), the operator's
// entries, a live chart, and the recording of every sample and event in the session database.
class KESTROVA_CONSOLE_EXPORT TfrmConsole : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmConsole(TBancoSessoes *banco, QWidget *parent = nullptr);
    ~TfrmConsole() override;

    // Called with the port number before the device is opened (--simulate starts a board there).
    std::function<void(int porta)> OnAntesDeConectar;
    // Asks the operator a yes/no question; replaceable for tests.
    std::function<bool(const QString &texto)> OnConfirmar;
    // Protocol clock speed (1 = real time); for demonstrations on the simulated board.
    void AjustarEscalaTempo(double escala) { FdEscala = escala; }

    TPainelPaciente *PainelPaciente() const { return FPaciente; }
    TPainelProtocolo *PainelProtocolo() const { return FProtocolo; }
    TExecutorProtocolo *Executor() const { return FExecutor.get(); }
    TvtxGraph *Grafico() const { return FGrafico; }
    TvtxGraph *GraficoCardiaco() const { return FGraficoFc; }
    TMonitorCardiaco *MonitorCardiaco() const { return FMonitor; }
    TAcompanhamentoClinico *Clinico() const { return FClinico; }
    TEscolhaCinta *EscolhaCinta() const { return FEscolhaCinta; }
    // The heart-rate source from now on (none: nullptr), whatever the set-up shows.
    void AjustarFonteCardiaca(std::unique_ptr<TFonteCardiaca> fonte);
    // Offers the simulated strap and a recorded trace in the set-up (a demonstration).
    void OferecerDemonstracao(bool simulada, const std::optional<TTracoCardiaco> &traco = {},
                              const QString &nomeTraco = {});
    qint64 SessaoAtual() const { return FiSessao; }
    qint64 UltimaSessao() const { return FiUltimaSessao; }
    bool EmTeste() const;
    bool DispositivoPerdido() const { return FbDispositivoPerdido; }
    void AjustarIntervaloDeReabertura(int ms) { FiIntervaloReabertura = ms; }

    // Starts a test with the set-up as it is; false (and a message) when it cannot start.
    bool IniciarTeste();
    // Prints the report of a session: to `pdf` when given, else on the system printer.
    bool ImprimirRelatorio(qint64 sessaoId, const QString &pdf = {});
    bool ExportarCsv(qint64 sessaoId, const QString &arquivo, bool separadorDoLocal);
    // Shows a session's results in their window (not modal), as the report prints them.
    void MostrarResultados(qint64 sessaoId);
    TfrmResultados *Resultados() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *CriarExecucao();
    QWidget *CriarControles();
    void CriarMenus();
    void CriarMenuIdioma();
    void PrepararDispositivo();
    void AoEvento(const TEventoExecucao &evento);
    void AoAmostra(const TAmostraExecucao &amostra);
    void MostrarAmostra(const TAmostraExecucao &amostra);
    void PerguntarMotivo();
    void EncerrarTeste();
    void AoEstado(TEstadoExecucao estado);
    void AoEntrada(const TEventoRegistro &entrada);
    void FinalizarSessao(TSessao::TSituacao situacao);
    void EncerrarGravador();
    void GravarFimPendente();
    bool FecharAposParada();
    TSessao::TSituacao SituacaoAoFechar() const;
    void AtualizarControles();
    void AtualizarContagem();
    void Parar();
    void PausarOuRetomar();
    void Manual(double dVelocidade, double dInclinacao);
    qint64 TempoAtual() const;
    void AbrirSessoes();
    void MostrarFalhaGravacao(const QString &mensagem);
    void AtualizarDispositivo();
    std::unique_ptr<TOrvanta> CriarEsteira(int porta, bool silencioso);
    void VigiarPorta();
    void PerdeuDispositivo(const QString &motivo);
    void DispositivoDeVolta();
    void MostrarLink(const QString &texto, bool falha);
    void MostrarFc(const QString &texto);
    void AvisoCardiaco(const QString &texto);
    void TrocarFonteCardiaca();
    void AvisoClinico(const QString &texto);
    void RegistrarNota(const QString &tipo, const QString &texto, const QString &prefixo = {});
    void GravarDadosClinicos();
    // Shows speeds in the unit of the settings: the set-up, the running view, the chart.
    void AplicarUnidade();

    TBancoSessoes *FBanco;
    double FdEscala = 1;
    int FiPortaAberta = 0;
    std::unique_ptr<TOrvanta> FEsteira;
    std::unique_ptr<TExecutorProtocolo> FExecutor;
    std::unique_ptr<TGravadorSessao> FGravador;
    std::unique_ptr<TGraficoSessao> FDesenho;
    std::unique_ptr<TGraficoCardiaco> FDesenhoFc;
    TSessao FSessao;
    qint64 FiSessao = 0;
    qint64 FiUltimaSessao = 0;
    // The end of a test that ended while the server was away: written when it answers again.
    std::optional<TSessao> FFimPendente;
    TUnidadeVelocidade FUnidade;
    TAmostraExecucao FUltimaAmostra;
    double FdAlvoVelocidade = 0, FdAlvoInclinacao = 0;  // the last target sent
    QElapsedTimer FDesdeAmostra;
    QElapsedTimer FContagem;
    TReabertura *FReabertura = nullptr;
    TTeclasParada *FTeclas = nullptr;
    QPointer<TfrmSessoes> FSessoes;
    QPointer<TfrmResultados> FResultados;
    QList<QAction *> FAcoesComDialogo;   // off while a test runs: a modal box blocks PARAR
    bool FbParadaNaoConfirmada = false;  // the last test's stop was never acknowledged
    TSessao::TSituacao FSituacaoConfirmada = TSessao::TSituacao::Parada;  // once it is
    bool FbDispositivoPerdido = false;
    int FiIntervaloReabertura = 1000;
    unsigned FuEsteira = 0;  // reports of an earlier device are ignored
    QString FAvisoPorta;     // the lost or reopened port, until the link answers again

    TPainelPaciente *FPaciente = nullptr;
    TPainelProtocolo *FProtocolo = nullptr;
    TPainelEntradas *FEntradas = nullptr;
    TvtxGraph *FGrafico = nullptr, *FGraficoFc = nullptr;
    TMonitorCardiaco *FMonitor = nullptr;
    TEscolhaCinta *FEscolhaCinta = nullptr;
    TAcompanhamentoClinico *FClinico = nullptr;
    QLabel *FMets = nullptr, *FAvisoClinico = nullptr;
    QLabel *FFc = nullptr;
    QSpinBox *FPorta = nullptr;
    QLabel *FDispositivo = nullptr;
    QLabel *FDecorrido = nullptr, *FNoEstagio = nullptr, *FProximo = nullptr, *FFase = nullptr,
           *FAlvo = nullptr, *FLink = nullptr, *FEstado = nullptr, *FGravacao = nullptr;
    QPushButton *FIniciar = nullptr, *FPausar = nullptr, *FProximoEstagio = nullptr,
                *FRecuperacao = nullptr, *FParar = nullptr, *FEncerrar = nullptr;
    QList<QPushButton *> FManuais;
    QListWidget *FLog = nullptr;
    QTimer *FRelogioTela = nullptr;
    QWidget *FConfiguracao = nullptr;
};
