#include "boardprotocol.h"

bool TBoardProtocol::Feed(char byte, QByteArray &frame)
{
    if (FPartial.isEmpty()) {
        if (byte == Stx) {
            FPartial.append(byte);
        } else {
            ++FState.garbageBytes;
        }
        return false;
    }
    FPartial.append(byte);
    if (FPartial.size() < 3) {
        return false;
    }
    frame = FPartial;
    FPartial.clear();
    ++FState.frames;
    return true;
}

char TBoardProtocol::Execute(const QByteArray &frame)
{
    if (frame.size() != 3 || frame[0] != Stx) {
        return Nak;
    }
    const char letter = frame[1];
    const int value = static_cast<unsigned char>(frame[2]);
    // The preamble arms the calibration for exactly the next frame.
    const bool armed = FState.calibrationArmed;
    FState.calibrationArmed = false;
    switch (letter) {
        case 'Q':
            if (value > MaxSpeedCode) {
                return Nak;
            }
            FState.speedCode = value;
            return Ack;
        case 'R':
            if (value > MaxInclineCode) {
                return Nak;
            }
            FState.inclineCode = value;
            return Ack;
        case 'T':
            if (value != 0) {
                return Nak;
            }
            FState.speedCode = 0;
            FState.inclineCode = 0;
            return Ack;
        case 'o':
            if (value != CalibrationPreamble) {
                return Nak;
            }
            FState.calibrationArmed = true;
            return Ack;
        case 'v':
            if (!armed) {
                return Nak;
            }
            FState.speedCalibration = value;
            return Ack;
        case 'i':
            if (!armed) {
                return Nak;
            }
            FState.inclineCalibration = value;
            return Ack;
        default: return Nak;
    }
}

void TBoardProtocol::Reset()
{
    FState = TBoardState();
    FPartial.clear();
}

double TBoardProtocol::SpeedKmh(int code)
{
    return code <= 0 ? 0.0 : 1.5 + (code - 1) / 10.0;
}

double TBoardProtocol::InclinePercent(int code)
{
    return code <= 25 ? double(code) : (code - 26) + 0.5;
}

char TBoardProtocol::Opposite(char answer)
{
    return answer == Ack ? Nak : Ack;
}
