#include "openfailure.h"

#include <cerrno>
#include <cstring>

#include "portlisting.h"
#ifdef _WIN32
#include "serialdevice_win.h"
#endif

namespace kestrova::comm {

namespace {

// The system's words for the code, in the user's language: on Windows FormatMessageW's text
// converted to UTF-8 (strerror would not know the Win32 code, and its bytes are in the ANSI code
// page), on POSIX strerror's text in the locale's encoding.
QString ReasonText(int osError)
{
#ifdef _WIN32
    return QString::fromStdString(WinSystemText(std::uint32_t(osError)));
#else
    return QString::fromLocal8Bit(std::strerror(osError));
#endif
}

}  // namespace

TOpenFailureKind OpenFailureKindOf(int osError)
{
#ifdef _WIN32
    return WinOpenFailureKindOf(std::uint32_t(osError));
#else
    switch (osError) {
        case 0: return TOpenFailureKind::none;
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR: return TOpenFailureKind::noSuchDevice;
        case EACCES:
        case EPERM: return TOpenFailureKind::permissionDenied;
        case EBUSY:
        case EWOULDBLOCK: return TOpenFailureKind::busy;
        default: return TOpenFailureKind::other;
    }
#endif
}

QString OpenFailureDetails(const QString &device, int osError, const QStringList &existingPorts)
{
    const QString header = QStringLiteral("Dispositivo: %1\n").arg(device);
    switch (OpenFailureKindOf(osError)) {
        case TOpenFailureKind::noSuchDevice:
            return header + QStringLiteral("Motivo: o dispositivo não existe.\n") +
                   (existingPorts.isEmpty()
                        ? QStringLiteral("Nenhuma porta serial foi encontrada: verifique o cabo "
                                         "e o adaptador USB.")
                        : QStringLiteral("Portas seriais encontradas: %1\nEscolha uma delas com "
                                         "o botão ao lado do número da porta "
                                         "(ou orvanta-ctl map N DISPOSITIVO).")
                              .arg(existingPorts.join(QStringLiteral(", "))));
        case TOpenFailureKind::permissionDenied:
            return header + QStringLiteral(
                                "Motivo: permissão negada.\nInclua o usuário no grupo dialout "
                                "(sudo usermod -aG dialout $USER) e entre de novo na sessão: a "
                                "nova permissão só vale depois de um novo login.");
        case TOpenFailureKind::busy:
            return header + QStringLiteral(
                                "Motivo: o dispositivo está em uso por outro "
                                "programa. Feche-o e tente novamente.");
        case TOpenFailureKind::none: return header;
        case TOpenFailureKind::other: break;
    }
    return header + QStringLiteral("Motivo: %1").arg(ReasonText(osError));
}

QString OpenFailureDetails(const QString &device, int osError)
{
    QStringList existing;
    if (OpenFailureKindOf(osError) == TOpenFailureKind::noSuchDevice) {
        for (const TSerialPortEntry &entry : ListSerialPorts())
            existing << entry.device;
    }
    return OpenFailureDetails(device, osError, existing);
}

}  // namespace kestrova::comm
