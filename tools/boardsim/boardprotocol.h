#pragma once

#include <QByteArray>

#include "kestrova_boardsim_export.h"
#include "tools/boardsim/boardtypes.h"

// The treadmill board's frame parser and command set, free of I/O and threads: bytes go in one
// at a time, complete frames come out, and Execute answers a frame and applies it to the state.
class KESTROVA_BOARDSIM_EXPORT TBoardProtocol {
public:
    static constexpr char Stx = 0x02;
    static constexpr char Ack = 0x06;
    static constexpr char Nak = 0x15;
    static constexpr int MaxSpeedCode = 166;
    static constexpr int MaxInclineCode = 50;
    static constexpr unsigned char CalibrationPreamble = 0xAA;

    // Takes one received byte. Bytes outside a frame that are not STX are counted as garbage and
    // dropped; the two bytes after an STX always complete the frame (any value, also 0x02).
    // Returns true when byte completed a frame, which is then stored in frame and counted.
    bool Feed(char byte, QByteArray &frame);
    // Answers a complete frame with Ack or Nak and applies an accepted frame to the state.
    char Execute(const QByteArray &frame);
    // Drops a partly received frame and resets the registers and counters.
    void Reset();

    const TBoardState &State() const { return FState; }
    TBoardState &State() { return FState; }

    // The speed a code stands for in km/h (0 for code 0).
    static double SpeedKmh(int code);
    // The incline a code stands for in percent: 0..25 whole, 26..50 -> (code - 26) + 0.5.
    static double InclinePercent(int code);
    // The opposite answer byte (Nak for Ack, Ack for anything else).
    static char Opposite(char answer);

private:
    TBoardState FState;
    QByteArray FPartial;  // STX and what followed it, fewer than 3 bytes
};
