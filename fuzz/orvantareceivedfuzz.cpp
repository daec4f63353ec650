#include <QObject>

#include "device/orvanta.h"
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "platform/exception.h"
#include "platform/messagebox.h"

namespace {

// Port 250 names a device that does not exist: the object is built on a closed port, so an
// exchange writes nothing and times out at once, leaving the controller waiting for an answer.
constexpr int kPortaInexistente = 250;

TOrvanta *Esteira()
{
    static TOrvanta *esteira = [] {
        qputenv("KESTROVA_COM250", "/nonexistent/kestrova-fuzz-port");
        SetErrorMessageHook([](const QString &) {});
        static QObject owner;
        return new TOrvanta(&owner, kPortaInexistente);
    }();
    return esteira;
}

void AguardarResposta(TOrvanta &esteira)
{
    const char quadro[3] = {TOrvanta::STX, 'Q', 0};
    try {
        esteira.EnviarEAguardar(quadro, 3, 0);
    } catch (const Exception &) {
        // The expected time-out: the controller still waits for the answer.
    }
}

}  // namespace

// Each chunk starts with a header byte: bits 0-2 give the chunk's length less one, bit 7 starts
// an exchange (which times out) before the chunk arrives.
int FuzzOrvantaReceived(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    TOrvanta &esteira = *Esteira();
    size_t i = 0;
    while (i < size) {
        const uint8_t header = data[i++];
        if (header & 0x80)
            AguardarResposta(esteira);
        const size_t length = std::min<size_t>(size - i, size_t(header & 7) + 1);
        QByteArray chunk(reinterpret_cast<const char *>(data + i), qsizetype(length));
        i += length;
        const bool aguardava = esteira.Estado() == TOrvanta::kEstadoAguardando;
        const int tamanhoAntes = esteira.TamanhoResposta();
        esteira.OnPacoteRecebido(nullptr, chunk);
        const bool resposta = chunk.contains(TOrvanta::ACK) || chunk.contains(TOrvanta::NAK);
        if (aguardava && resposta) {
            FuzzCheck(esteira.Estado() == TOrvanta::kEstadoOcioso, "an answer ends the wait");
            FuzzCheck(esteira.TamanhoResposta() == int(chunk.size()), "answer size kept");
        } else {
            FuzzCheck(esteira.Estado() ==
                          (aguardava ? TOrvanta::kEstadoAguardando : TOrvanta::kEstadoOcioso),
                      "bytes without an answer leave the state alone");
            FuzzCheck(esteira.TamanhoResposta() == tamanhoAntes, "no answer, no answer size");
        }
    }
    // The next input starts from the same state.
    const char ack = TOrvanta::ACK;
    QByteArray fim(&ack, 1);
    esteira.OnPacoteRecebido(nullptr, fim);
    return 0;
}
