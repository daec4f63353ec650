#include "protocol/relogio.h"

#include <chrono>

TRelogio::~TRelogio() = default;

qint64 TRelogioMonotonico::AgoraMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
