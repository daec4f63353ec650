#include "device/reabertura.h"

#include <QMetaObject>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Whether the device can be opened now. A USB adapter's open may take the driver a while, which
// is why this runs off the GUI thread.
bool PodeAbrir(const QByteArray &dispositivo)
{
#ifdef _WIN32
    (void)dispositivo;
    return true;  // the port itself is tried by the receiver
#else
    const int fd = ::open(dispositivo.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
#endif
}

}  // namespace

TReabertura::TReabertura(QObject *parent) : QObject(parent)
{
    connect(&FTimer, &QTimer::timeout, this, [this] { Tentar(); });
}

TReabertura::~TReabertura()
{
    FTimer.stop();
    Juntar();
}

void TReabertura::Iniciar(const QString &dispositivo, int intervaloMs)
{
    FDispositivo = dispositivo;
    ++FuRodada;
    FTimer.start(intervaloMs);
}

void TReabertura::Parar()
{
    FTimer.stop();
    ++FuRodada;
}

void TReabertura::Juntar()
{
    if (FTentativa.joinable())
        FTentativa.join();
}

void TReabertura::Tentar()
{
    if (FTentando.load())
        return;  // the previous attempt still waits for the driver
    Juntar();
    FTentando = true;
    const QByteArray caminho = FDispositivo.toLocal8Bit();
    const unsigned rodada = FuRodada;
    FTentativa = std::thread([this, caminho, rodada] {
        const bool pode = PodeAbrir(caminho);
        QMetaObject::invokeMethod(
            this,
            [this, pode, rodada] {
                if (pode && rodada == FuRodada && FTimer.isActive())
                    emit DispositivoDisponivel();
            },
            Qt::QueuedConnection);
        FTentando = false;
    });
}
