#pragma once

#include <QByteArray>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "device/esteira.h"
#include "device/exchangeslot.h"
#include "kestrova_device_export.h"

// The Orvanta Kestrova board: three-byte frames (STX, command letter, value) at 9600 baud, even
// parity, each answered with ACK (0x06) or NAK (0x15).
//
// Every command is one exchange: write the frame, then wait for the answer without spinning --
// processing pending non-input events on the main thread, on a condition variable on any other
// thread -- until the answer arrives or the time-out expires. Failures raise Exception
// ("Falha na comunicação", "Retornou NAK", or the port's write failure) and leave the stored
// values as they were. One exchange runs at a time; other callers wait for it.
//
// The answers carry no sequence number, so an answer counts only for the frame it answers:
// everything received before a frame is written is discarded, and after an exchange that did not
// end with its answer (time-out, NAK, or an exception during the wait) the next frame waits until
// the line has been quiet for kAssentamentoMs (each byte restarts it), at most kTempoRespostaMs.
// Answers arriving while no exchange waits are traced as discarded.
class KESTROVA_DEVICE_EXPORT TOrvanta : public TEsteira {
public:
    static constexpr char STX = 0x02;
    static constexpr char ACK = 0x06;
    static constexpr char NAK = 0x15;
    static constexpr unsigned kTempoRespostaMs = 800;
    static constexpr unsigned kAssentamentoMs = 250;
    static constexpr int kEstadoOcioso = 0;
    static constexpr int kEstadoAguardando = 10;

    // Where the board's answers are taken: on the main thread's event loop (the port's usual
    // contract), or on the port's reader thread as they arrive, so that an exchange made on
    // another thread depends only on the board, never on a busy main thread.
    enum class TRespostas { NoLacoPrincipal, NaLeitura };

    // Opens the port with the board's settings. A port that cannot be opened is reported in an
    // error box (platform/messagebox.h), never raised: the object is always built, and on a
    // closed port every command then fails with "Falha na comunicação".
    TOrvanta(QObject *Owner, int porta, TRespostas respostas = TRespostas::NoLacoPrincipal);
    ~TOrvanta() override;

    void AjustarVelocidade(double velocidade) override;
    void AjustarInclinacao(double inclinacao) override;
    // The same commands, given up without writing their frame when desistir() says so once the
    // exchange's turn has come and the line has settled (a stop waiting to overtake them):
    // false then, true when acknowledged; failures raise as above.
    using TDesistir = std::function<bool()>;
    bool AjustarVelocidade(double velocidade, const TDesistir &desistir);
    bool AjustarInclinacao(double inclinacao, const TDesistir &desistir);
    void Ligar() override;
    void Parar() override;
    bool EstaLigada() override;
    double PegarInclinacao() override;
    double PegarVelocidade() override;
    void OnPacoteRecebido(QObject *Sender, QByteArray &buffer) override;

    // Preamble 0x02 'o' 0xAA, then 0x02 'v' valor (speed: PWM timer count) or 0x02 'i' valor
    // (incline: optical-disk pulses); the second frame only after the first was acknowledged.
    void CalibrarVelocidade(unsigned char valor, unsigned timeoutMs);
    void CalibrarInclinacao(unsigned char valor, unsigned timeoutMs);

    void EnviarComando(const char *quadro, int tamanho);
    void EnviarEAguardar(const char *quadro, int tamanho, unsigned timeoutMs);

    // Speed in km/h to the board's code: 0 -> 0, 1.5 -> 1, one code per 0.1 km/h, 18.0 and
    // above -> 166. Values below 1.5 give the low 8 bits of the (negative) code. NaN and
    // infinities raise Exception("Velocidade inválida.").
    static unsigned char ConverterVelocidade(double velocidade);
    // Incline in percent to the board's code: whole percents 0..25 -> 0..25, n.5 -> n + 26;
    // below 0 (and NaN) -> 0, above 25 -> 25.
    static unsigned char ConverterInclinacao(float inclinacao);

    int Estado() const { return FiEstado; }
    int TamanhoResposta() const { return FiTamanhoResposta; }

private:
    using TRelogio = std::chrono::steady_clock;
    class TTrocaEmCurso;

    void AbrirPorta();
    void Calibrar(char comando, unsigned char valor, unsigned timeoutMs);
    bool ExecutarTroca(const char *quadro, int tamanho, unsigned timeoutMs,
                       const TDesistir &desistir = {});
    void AssentarLinha();
    // Waits until pronto() holds or the deadline passes; returns pronto().
    bool Aguardar(TRelogio::time_point prazo, const std::function<bool()> &pronto);
    bool AguardarNoLacoDeEventos(TRelogio::time_point prazo, const std::function<bool()> &pronto);
    bool AguardarNaCondicao(TRelogio::time_point prazo, const std::function<bool()> &pronto);
    bool AceitarResposta(char byte, qsizetype tamanho);
    void AvisarResposta();

    std::atomic<int> FiEstado{kEstadoOcioso};
    std::atomic<bool> FbRespostaRecebida{false};
    std::array<char, 5> FResposta{};
    std::atomic<int> FiTamanhoResposta{0};

    std::atomic<bool> FbTrocaAtiva{false};  // an exchange waits for its answer
    std::atomic<bool> FbAssentar{false};    // the last exchange ended without its answer
    std::atomic<TRelogio::rep> FFimDaFalha{0};
    std::atomic<TRelogio::rep> FUltimoByte{0};

    TExchangeSlot FSlot;
    std::mutex FRespostaMutex;
    std::condition_variable FRespostaChegou;
};
