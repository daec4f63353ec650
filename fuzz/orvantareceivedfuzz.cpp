#include <QObject>

#include "device/orvanta.h"
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "platform/messagebox.h"

namespace {

// Port 250 names a device that does not exist: the object is built on a closed port.
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

}  // namespace

// Each chunk starts with a header byte whose bits 0-2 give the chunk's length less one. No
// exchange waits (on the main thread the reader's bytes arrive between exchanges, or during one's
// wait, which a fuzz input cannot hold open cheaply): whatever arrives, answers included, leaves
// the controller's state as it was.
int FuzzOrvantaReceived(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    TOrvanta &esteira = *Esteira();
    const int estado = esteira.Estado(), tamanho = esteira.TamanhoResposta();
    size_t i = 0;
    while (i < size) {
        const uint8_t header = data[i++];
        const size_t length = std::min<size_t>(size - i, size_t(header & 7) + 1);
        QByteArray chunk(reinterpret_cast<const char *>(data + i), qsizetype(length));
        i += length;
        esteira.OnPacoteRecebido(nullptr, chunk);
        FuzzCheck(esteira.Estado() == estado && esteira.TamanhoResposta() == tamanho,
                  "bytes received while no exchange waits change nothing");
    }
    return 0;
}
