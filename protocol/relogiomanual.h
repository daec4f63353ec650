#pragma once

#include <atomic>

#include "kestrova_protocol_export.h"
#include "protocol/relogio.h"

// A clock that moves only when told to: tests run a whole protocol in milliseconds with it.
class KESTROVA_PROTOCOL_EXPORT TRelogioManual : public TRelogio {
public:
    qint64 AgoraMs() const override { return FAgora.load(); }
    void Avancar(qint64 ms) { FAgora += ms; }
    void Ajustar(qint64 ms) { FAgora = ms; }

private:
    std::atomic<qint64> FAgora{0};
};
