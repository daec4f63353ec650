#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "tools/boardsim/boardprotocol.h"

int FuzzBoardFrames(const uint8_t *data, size_t size)
{
    TBoardProtocol board;
    QByteArray frame;
    int frames = 0;
    for (size_t i = 0; i < size; ++i) {
        if (!board.Feed(char(data[i]), frame))
            continue;
        ++frames;
        FuzzCheck(frame.size() == 3 && frame[0] == TBoardProtocol::Stx, "a frame is STX + 2");
        const char answer = board.Execute(frame);
        FuzzCheck(answer == TBoardProtocol::Ack || answer == TBoardProtocol::Nak,
                  "a frame is answered with ACK or NAK");
        const TBoardState &state = board.State();
        FuzzCheck(state.speedCode >= 0 && state.speedCode <= TBoardProtocol::MaxSpeedCode,
                  "speed code within the board's range");
        FuzzCheck(state.inclineCode >= 0 && state.inclineCode <= TBoardProtocol::MaxInclineCode,
                  "incline code within the board's range");
    }
    FuzzCheck(board.State().frames == frames, "every frame counted");
    FuzzCheck(board.State().garbageBytes + 3 * frames <= int(size), "bytes counted once");
    return 0;
}
