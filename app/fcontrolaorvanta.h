#pragma once

#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "kestrova_app_export.h"
#include "platform/idioma.h"

class QCloseEvent;
class QMovie;
class TAdvancedCom;
class TReabertura;
class TOrvanta;
class TVtxTimer;

namespace Ui {
class TfrmControlaOrvanta;
}

// The controller window: connects to the treadmill board on a port, raises and lowers speed and
// incline, stops the belt, takes typed values, calibrates, and polls the board.
//
// Threads: the polling tick (VtxTimer1Timer) runs on VtxTimer1's thread and only sends the wanted
// values, read from atomics, through the device, whose exchange slot keeps it apart from the
// exchanges of the buttons; it posts its outcome to the main thread (queued) and never blocks on
// it. Every widget is touched on the main thread only. Before the device is destroyed
// (disconnect, window destruction) the polling is stopped, which waits for a running tick.
//
// The child widgets and the timers carry the object names of the form (btnOnline, lblMensagem,
// VtxTimer1, VtxTimerReset, ...), so tools and tests find them with findChild.
class KESTROVA_APP_EXPORT TfrmControlaOrvanta : public QWidget {
    Q_OBJECT

public:
    explicit TfrmControlaOrvanta(QWidget *parent = nullptr);
    ~TfrmControlaOrvanta() override;

    // Called on connect with the port number, before the device opens the port (the program's
    // --simulate option starts a simulated board there and points the port at it).
    std::function<void(int porta)> OnAntesDeConectar;

    bool Conectada() const;
    // The device of the connection was lost (a USB adapter pulled) and has not come back yet.
    bool DispositivoPerdido() const { return FbDispositivoPerdido; }
    // Period of the attempts to reopen a lost device (1000 ms).
    void AjustarIntervaloDeReabertura(int ms) { FiIntervaloReabertura = ms; }
    bool EsteiraLigada() const { return FbEsteiraLigada; }
    double VelocidadeDesejada() const { return FdVelocidade; }
    double InclinacaoDesejada() const { return FdInclinacao; }

    // The language chosen in the window's Idioma menu (its settings, interface/idioma); none
    // means the system's. The program reads it at start (the choice applies from the next one).
    static std::optional<TIdioma> IdiomaPreferido();
    static void GravarIdiomaPreferido(std::optional<TIdioma> idioma);

protected:
    // Closing while the belt may be moving asks first (dlgFecharComEsteira): stop it and close
    // once the board acknowledged the stop, close leaving it as it is, or stay open.
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    // The Idioma button's menu: the system's language, Português, English, and the note that the
    // choice applies at the next start.
    void CriarMenuIdioma();
    void LigarSinais();
    void AplicarFontes();
    void AtualizarControles();
    void AtualizarDispositivo();
    void PintarLed(const QColor &cor);

    void btnOnlineClick();
    void btnEscolherPortaClick();
    void Conectar();
    // Creates the device for the port; the error box of a port that cannot be opened carries
    // the reason (details) unless silencioso, when the box is not shown at all.
    std::unique_ptr<TOrvanta> CriarDispositivo(int porta, bool silencioso);
    void VigiarDispositivo(TOrvanta *esteira);
    void PerdeuDispositivo(const QString &motivo);
    void LiberarPortaPerdida();
    void DispositivoDeVolta();
    void Desconectar();
    void PassoDeReset();
    // Hourglass, change, reset step when the belt is idle, polling on, then show.
    void AlterarVelocidadeOuInclinacao(const std::function<void()> &alterar,
                                       const std::function<void()> &mostrar);
    void MostrarVelocidade();
    void MostrarInclinacao(const QString &formato);
    void btnAumentarVelocidadeClick();
    void btnDiminuirVelocidadeClick();
    void btnAumentarInclinacaoClick();
    void btnDiminuirInclinacaoClick();
    void btnPararEsteiraClick();
    // Stops the belt as "PARAR ESTEIRA" does; true when the board acknowledged the stop, else
    // false with the reason in falha.
    bool PararEsteira(QString &falha);
    // Connected, and the belt running, a speed wanted, or the last stop not acknowledged.
    bool EsteiraPodeEstarLigada() const;
    void ButtonAlteraIntervaloClick();
    void btnFecharClick();
    void Calibrar(bool velocidade);
    void btnVelocidadeClick();
    void btnInclinacaoClick();
    // faixa: the accepted range, as the refusal of a text that is not a number states it.
    bool PerguntarValor(const QString &prompt, const QString &inicial, const QString &faixa,
                        float &valor);
    void IniciarPolling();

    void VtxTimer1Timer(QObject *Sender);      // VtxTimer1's thread
    void VtxTimerResetTimer(QObject *Sender);  // VtxTimerReset's thread
    void MostrarResultadoDoTick(bool ok, const QString &mensagem);

    std::unique_ptr<Ui::TfrmControlaOrvanta> ui;
    TVtxTimer *VtxTimer1;
    TVtxTimer *VtxTimerReset;
    TAdvancedCom *AdvancedCom;  // on the form for other uses; the window does not use it
    QMovie *FCatraca;

    TReabertura *FReabertura;
    // Main-thread handlers using the device (they may wait in an event loop); a reopening waits
    // until none runs.
    int FiUsoDoDispositivo = 0;
    bool FbDispositivoPerdido = false;
    int FiIntervaloReabertura = 1000;

    std::atomic<TOrvanta *> FEsteira{nullptr};  // owned; read by the polling tick
    // Counts disconnections: a tick's outcome is shown only while its connection lasts.
    std::atomic<unsigned> FuConexao{0};
    bool FbEsteiraLigada = false;
    bool FbParadaPendente = false;  // no stop acknowledged since the belt may have run
    std::atomic<double> FdVelocidade{0.0};
    std::atomic<double> FdInclinacao{0.0};
};

// The program's main window, while it exists.
KESTROVA_APP_EXPORT extern TfrmControlaOrvanta *frmControlaOrvanta;
