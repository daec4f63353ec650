#pragma once

#include <QString>
#include <QStringList>

#include "kestrova_comm_export.h"
#include "serialdevice.h"

namespace kestrova::comm {

// Why a device could not be opened, from the OS error code the port recorded
// (TComThread::OpenErrorCode): errno on POSIX, GetLastError's value on Windows.
KESTROVA_COMM_EXPORT TOpenFailureKind OpenFailureKindOf(int osError);

// What the user can do about it, in Portuguese, for the details of the error box and the CLI's
// message: the device, the reason, and the ports that exist (noSuchDevice), how to join the
// dialout group (permissionDenied) or that another program holds it (busy).
KESTROVA_COMM_EXPORT QString OpenFailureDetails(const QString &device, int osError,
                                                const QStringList &existingPorts);
// The same, listing the ports ListSerialPorts finds.
KESTROVA_COMM_EXPORT QString OpenFailureDetails(const QString &device, int osError);

}  // namespace kestrova::comm
