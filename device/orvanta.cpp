#include "device/orvanta.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/eventpump.h"
#include "platform/exception.h"
#include "platform/messagebox.h"
#include "platform/trace.h"

namespace {

const QString kFalhaNaComunicacao = QStringLiteral("Falha na comunicação");
const QString kRetornouNak = QStringLiteral("Retornou NAK");
const QString kPortaNaoAberta =
    QStringLiteral("Não foi possível abrir porta serial.\n\nTente novamente.");

// Low 8 bits of an integral value of any magnitude, as two's complement would keep them.
unsigned char LowByte(double integral)
{
    double rest = std::fmod(integral, 256.0);
    if (rest < 0)
        rest += 256.0;
    return static_cast<unsigned char>(rest);
}

// Rounds to the nearest single-precision value; clamped first, since converting a double
// beyond float's range is undefined.
double RoundToFloat(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kMax, kMax));
}

}  // namespace

TOrvanta::TOrvanta(QObject *Owner, int porta, TRespostas respostas) : TEsteira(Owner, porta)
{
    // The answer handling below is thread-safe (atomics, the answer's mutex).
    FPorta->SetDeliverOnReaderThread(respostas == TRespostas::NaLeitura);
    FPorta->OnPacketReceived = [this](QObject *Sender, QByteArray &buffer) {
        OnPacoteRecebido(Sender, buffer);
    };
    FPorta->SetBaud(9600);
    FPorta->SetParity(TComThread::even);
    FPorta->SetPacketSize(80);
    FPorta->SetRtsControl(TAdvancedCom::rtsToggle);
    FPorta->SetDtrControl(TAdvancedCom::dtrEnable);
    AbrirPorta();
    FiEstado = kEstadoOcioso;
}

TOrvanta::~TOrvanta()
{
    // An exchange running on another thread still uses this object: let it end first, and keep
    // the slot while the port closes.
    const bool held = FSlot.TryAcquireForShutdown();
    if (FPorta)
        FPorta->ComClose();
    if (held)
        FSlot.Release();
}

void TOrvanta::AbrirPorta()
{
    try {
        FPorta->ComInit();
        if (!FPorta->Opened())
            ShowErrorMessage(kPortaNaoAberta);
    } catch (const Exception &error) {
        ShowErrorMessage(error.Message());
    }
}

void TOrvanta::AjustarVelocidade(double velocidade)
{
    AjustarVelocidade(velocidade, {});
}

void TOrvanta::AjustarInclinacao(double inclinacao)
{
    AjustarInclinacao(inclinacao, {});
}

bool TOrvanta::AjustarVelocidade(double velocidade, const TDesistir &desistir)
{
    const char quadro[3] = {STX, 'Q', char(ConverterVelocidade(velocidade))};
    TExchangeSlot::TGuard vez(FSlot);
    if (!ExecutarTroca(quadro, 3, kTempoRespostaMs, desistir))
        return false;
    FdVelocidade = velocidade;
    return true;
}

bool TOrvanta::AjustarInclinacao(double inclinacao, const TDesistir &desistir)
{
    const float simples = static_cast<float>(RoundToFloat(inclinacao));
    const char quadro[3] = {STX, 'R', char(ConverterInclinacao(simples))};
    TExchangeSlot::TGuard vez(FSlot);
    if (!ExecutarTroca(quadro, 3, kTempoRespostaMs, desistir))
        return false;
    FdInclinacao = inclinacao;
    return true;
}

void TOrvanta::Ligar() {}

void TOrvanta::Parar()
{
    const char quadro[3] = {STX, 'T', 0x00};
    TExchangeSlot::TGuard vez(FSlot);
    ExecutarTroca(quadro, 3, kTempoRespostaMs);
    FdVelocidade = 0.0;
    FdInclinacao = 0.0;
    FbLigada = false;
}

bool TOrvanta::EstaLigada()
{
    return false;
}

double TOrvanta::PegarInclinacao()
{
    return FdInclinacao;
}

double TOrvanta::PegarVelocidade()
{
    return FdVelocidade;
}

void TOrvanta::CalibrarVelocidade(unsigned char valor, unsigned timeoutMs)
{
    Calibrar('v', valor, timeoutMs);
}

void TOrvanta::CalibrarInclinacao(unsigned char valor, unsigned timeoutMs)
{
    Calibrar('i', valor, timeoutMs);
}

void TOrvanta::Calibrar(char comando, unsigned char valor, unsigned timeoutMs)
{
    const char preambulo[3] = {STX, 'o', char(0xAA)};
    const char quadro[3] = {STX, comando, char(valor)};
    // Both frames in one hold of the slot: a frame between them would disarm the board.
    TExchangeSlot::TGuard vez(FSlot);
    ExecutarTroca(preambulo, 3, timeoutMs);
    ExecutarTroca(quadro, 3, timeoutMs);
}

void TOrvanta::EnviarComando(const char *quadro, int tamanho)
{
    EnviarEAguardar(quadro, tamanho, kTempoRespostaMs);
}

void TOrvanta::EnviarEAguardar(const char *quadro, int tamanho, unsigned timeoutMs)
{
    TExchangeSlot::TGuard vez(FSlot);
    ExecutarTroca(quadro, tamanho, timeoutMs);
}

// Marks an exchange as waiting for its answer while it lives. An exchange that ends any other way
// than with an ACK (time-out, NAK, a failed write, an exception raised during the wait) leaves
// the line to settle before the next frame.
class TOrvanta::TTrocaEmCurso {
public:
    explicit TTrocaEmCurso(TOrvanta &dono) : FDono(dono) { FDono.FbTrocaAtiva = true; }
    ~TTrocaEmCurso()
    {
        FDono.FbTrocaAtiva = false;
        if (!FConcluida) {
            FDono.FFimDaFalha = TRelogio::now().time_since_epoch().count();
            FDono.FbAssentar = true;
        }
    }
    TTrocaEmCurso(const TTrocaEmCurso &) = delete;
    TTrocaEmCurso &operator=(const TTrocaEmCurso &) = delete;
    void Concluir() { FConcluida = true; }

private:
    TOrvanta &FDono;
    bool FConcluida = false;
};

bool TOrvanta::ExecutarTroca(const char *quadro, int tamanho, unsigned timeoutMs,
                             const TDesistir &desistir)
{
    AssentarLinha();
    if (desistir && desistir())
        return false;
    if (FPorta)
        FPorta->DiscardInput();
    FbRespostaRecebida = false;
    FiTamanhoResposta = 0;
    FiEstado = kEstadoAguardando;
    TTrocaEmCurso troca(*this);
    const auto prazo = TRelogio::now() + std::chrono::milliseconds(timeoutMs);
    Enviar(quadro, tamanho);
    if (!Aguardar(prazo, [this] { return FbRespostaRecebida.load(); }))
        throw Exception(kFalhaNaComunicacao);
    if (FResposta[0] == NAK)
        throw Exception(kRetornouNak);
    troca.Concluir();
    return true;
}

// After a failed exchange its answer may still be on its way: wait until the line has been quiet
// for kAssentamentoMs since the failure and since the last byte, but no longer than one answer
// time-out. Bytes arriving meanwhile are delivered (and traced) as usual and then discarded.
void TOrvanta::AssentarLinha()
{
    if (!FbAssentar)
        return;
    using std::chrono::milliseconds;
    const auto limite = TRelogio::now() + milliseconds(kTempoRespostaMs);
    for (;;) {
        const TRelogio::time_point desde(
            TRelogio::duration(std::max(FFimDaFalha.load(), FUltimoByte.load())));
        const auto alvo = std::min(desde + milliseconds(kAssentamentoMs), limite);
        if (TRelogio::now() >= alvo)
            break;
        Aguardar(alvo, [] { return false; });
    }
    FbAssentar = false;
}

bool TOrvanta::Aguardar(TRelogio::time_point prazo, const std::function<bool()> &pronto)
{
    if (IsMainThread() && QCoreApplication::instance())
        return AguardarNoLacoDeEventos(prazo, pronto);
    return AguardarNaCondicao(prazo, pronto);
}

// Processes pending non-input events, sleeping between them, until pronto() or the deadline.
// Unlike a nested QEventLoop this keeps working after QCoreApplication::quit(), and it keeps no
// state behind that an exception thrown by an event handler could leave dangling.
bool TOrvanta::AguardarNoLacoDeEventos(TRelogio::time_point prazo,
                                       const std::function<bool()> &pronto)
{
    using namespace std::chrono;
    QTimer despertador;
    despertador.setSingleShot(true);
    despertador.setTimerType(Qt::PreciseTimer);
    while (!pronto()) {
        const auto resta = ceil<milliseconds>(prazo - TRelogio::now()).count();
        if (resta <= 0)
            break;
        despertador.start(int(std::min<long long>(resta, std::numeric_limits<int>::max())));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    return pronto();
}

bool TOrvanta::AguardarNaCondicao(TRelogio::time_point prazo, const std::function<bool()> &pronto)
{
    std::unique_lock lock(FRespostaMutex);
    return FRespostaChegou.wait_until(lock, prazo, pronto);
}

void TOrvanta::OnPacoteRecebido(QObject *, QByteArray &buffer)
{
    FUltimoByte = TRelogio::now().time_since_epoch().count();
    Trace(TraceLine("RECEBEU   ", buffer.constData(), buffer.size()));
    for (const char byte : buffer) {
        if (byte != ACK && byte != NAK)
            continue;
        if (!AceitarResposta(byte, buffer.size()))
            Trace(TraceLine("DESCARTOU ", &byte, 1) + QStringLiteral("(nenhum quadro aguarda)"));
        return;
    }
}

bool TOrvanta::AceitarResposta(char byte, qsizetype tamanho)
{
    if (!FbTrocaAtiva)
        return false;
    int aguardando = kEstadoAguardando;
    if (!FiEstado.compare_exchange_strong(aguardando, kEstadoOcioso))
        return false;
    FResposta[0] = byte;
    FiTamanhoResposta = int(tamanho);
    AvisarResposta();
    return true;
}

void TOrvanta::AvisarResposta()
{
    {
        std::lock_guard lock(FRespostaMutex);
        FbRespostaRecebida = true;
    }
    FRespostaChegou.notify_all();
    // A main-thread wait sleeps in the event dispatcher: nudge it when the answer was handled
    // on another thread.
    if (!IsMainThread())
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [] {}, Qt::QueuedConnection);
}

unsigned char TOrvanta::ConverterVelocidade(double velocidade)
{
    if (!std::isfinite(velocidade))
        throw Exception(QStringLiteral("Velocidade inválida."));
    if (velocidade == 0.0)
        return 0;
    velocidade = std::min(velocidade, 18.0);
    return LowByte(std::trunc(RoundToFloat((velocidade - 1.5) * 10.0 + 1.0)));
}

unsigned char TOrvanta::ConverterInclinacao(float inclinacao)
{
    if (!(inclinacao >= 0))
        inclinacao = 0;
    if (inclinacao > 25)
        inclinacao = 25;
    if (inclinacao - std::floor(inclinacao) > 0.49)
        return static_cast<unsigned char>(std::trunc(inclinacao + 26));
    return static_cast<unsigned char>(std::trunc(inclinacao));
}
