#pragma once

#include <QStringList>
#include <optional>

namespace heartratecli {

// "hr-decode HEX...": decodes the bytes of one Heart Rate Measurement notification, written as a
// trace prints them, into its fields (bpm, contact, energy, RR in ms). Exit status 0 for a valid
// notification, 1 for one a strap should not send (the reason on standard error), 2 for text
// that is not hex. Nothing when words is another command.
std::optional<int> RunHeartRateCommand(const QStringList &words);

}  // namespace heartratecli
