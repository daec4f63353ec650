#pragma once

#include <QStringList>
#include <optional>

namespace heartratecli {

// The heart-rate strap commands; nothing when words is another command.
//   hr-decode HEX...  decodes the bytes of one Heart Rate Measurement notification, written as a
//                     trace prints them, into its fields (bpm, contact, energy, RR in ms). Exit
//                     status 0 for a valid notification, 1 for one a strap should not send (the
//                     reason on standard error), 2 for text that is not hex.
//   hr-scan [--seconds N]
//                     lists the Bluetooth LE straps heard in N s (10), strongest first: name,
//                     address, RSSI. 1 when none was heard or Bluetooth cannot be used (one line
//                     on standard error saying why).
//   hr [--sensor ADDRESS] --seconds N [--trace]
//                     prints the readings of the strap at ADDRESS (else the one remembered) for
//                     N s, with every notification's bytes under --trace. 0 when a reading
//                     came, 1 otherwise, 2 on a usage error (no strap given nor remembered).
std::optional<int> RunHeartRateCommand(const QStringList &words);

}  // namespace heartratecli
