#pragma once

#include <QByteArray>

// What the simulated board does with a frame instead of (or besides) answering it plainly.
enum class TBoardFault { None, Silence, Nak, Delay, Split, Noise, Late, CablePull };

// One fault, for the next frame (script) or for every frame (standing fault).
struct TFaultStep {
    TBoardFault fault = TBoardFault::None;
    int delayMs = 0;  // Delay: answer after delayMs; Late: answer after delayMs (default 1000 if 0)
};

// The board's registers and its counters.
struct TBoardState {
    int speedCode = 0;
    int inclineCode = 0;
    int speedCalibration = -1;  // -1 until the board received one
    int inclineCalibration = -1;
    bool calibrationArmed = false;
    // frames: frames parsed; acks/naks: answers written to the line; silent: frames left
    // unanswered (silence, cable pull, or an answer still pending when the cable was pulled);
    // garbageBytes: bytes discarded while waiting for STX.
    int frames = 0, acks = 0, naks = 0, silent = 0, garbageBytes = 0;
};

// One parsed frame and what the board did with it.
struct TFrameRecord {
    QByteArray frame;  // the 3 bytes
    char answer = 0;   // 0x06, 0x15, or 0 when no answer was sent (silence, pull)
};
