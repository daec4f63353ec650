#pragma once

#include <QtGlobal>

#include "kestrova_protocol_export.h"

// The runner's time source: monotonic milliseconds from an arbitrary origin, read from any thread.
class KESTROVA_PROTOCOL_EXPORT TRelogio {
public:
    virtual ~TRelogio();
    virtual qint64 AgoraMs() const = 0;
};

// std::chrono::steady_clock.
class KESTROVA_PROTOCOL_EXPORT TRelogioMonotonico : public TRelogio {
public:
    qint64 AgoraMs() const override;
};
