#pragma once

#include <QString>
#include <QStringList>

// The protocol commands of orvanta-ctl: protocols, show NAME, run NAME.
namespace protocolcli {

enum TExitCode { kOk = 0, kBoardFailure = 1, kUsage = 2, kPortUnavailable = 3, kInterrupted = 130 };

bool IsProtocolCommand(const QString &command);
// Runs one; port and device select the board as the other commands do.
int RunProtocolCommand(const QStringList &words, int port, const QString &device);

}  // namespace protocolcli
