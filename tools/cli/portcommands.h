#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TOrvanta;

// The orvanta-ctl commands about ports, which need no board:
//   ports             lists the serial ports found and the port numbers mapped to them
//   map N DEVICE      maps port number N to DEVICE in the shared settings ("-" removes it)
// Returns the exit status, or nothing when words is not one of these commands.
std::optional<int> RunPortCommand(const QStringList &words);

// The lines that tell why the board's port could not be opened (device, reason, what to do).
QString OpenFailureDetailsOf(const TOrvanta &board);

// True once the board's port lost its device (a USB adapter pulled): its reader stopped.
bool DeviceLost(const TOrvanta &board);
