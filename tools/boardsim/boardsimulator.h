#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "kestrova_boardsim_export.h"
#include "tools/boardsim/boardtypes.h"

// A simulated treadmill board on the far end of a cable: a pseudo-terminal pair (Start), whose
// slave path a port opens, or a real serial device (StartOnDevice). A thread of its own reads
// the frames, answers them with ACK/NAK as the board does, keeps the board's registers and
// applies the configured faults. It needs no event loop, and every public member may be called
// from any thread while the board runs. POSIX only.
class KESTROVA_BOARDSIM_EXPORT TBoardSimulator {
public:
    TBoardSimulator();
    ~TBoardSimulator();  // stops the thread, closes everything
    TBoardSimulator(const TBoardSimulator &) = delete;
    TBoardSimulator &operator=(const TBoardSimulator &) = delete;

    // Opens a pty pair and starts the board thread. The board's registers, counters and logs
    // start afresh; faults, script and observers set before are kept. False (with the reason
    // in error) when a pseudo-terminal cannot be had or the board already runs.
    bool Start(QString *error = nullptr);
    // The same on a real terminal device, set to 9600 baud, 8 data bits, even parity, 1 stop
    // bit, raw.
    bool StartOnDevice(const QString &path, QString *error = nullptr);
    // Stops the thread and closes the far end; pending answers are dropped. Harmless when not
    // running. Called from an observer it only asks the thread to stop.
    void Stop();
    bool Running() const;

    QString DevicePath() const;  // what a port opens (pty slave path, or the device path)
    TBoardState State() const;
    QByteArray ReceivedBytes() const;                    // every byte received, in order
    QList<TFrameRecord> Frames() const;                  // every frame parsed, in order
    bool WaitForFrames(int count, int timeoutMs) const;  // until Frames() has count entries
    void ClearLog();                                     // forget ReceivedBytes/Frames (state kept)
    void SetFault(TFaultStep standing);                  // applies to every frame from now on
    void SetScript(QList<TFaultStep> steps);  // one step per next frame, then the standing fault
    // Called on the board thread for every frame parsed, after it was applied and its answer
    // decided (answer 0: none will be sent). Must not block and must not destroy the simulator.
    void SetFrameObserver(std::function<void(const TFrameRecord &)> observer);
    // Called on the board thread once a frame's answer has been written completely to the line.
    void SetAnswerObserver(std::function<void(const TFrameRecord &)> observer);
    // Closes the far end now: the port sees the device vanish; answers not yet written are
    // dropped. Returns once the far end is closed.
    void PullCable();
    bool CablePulled() const;
    // Before a planned end: waits, at most timeoutMs, until the port has read every answer on a
    // pty (closing the master hangs the line up and throws the unread bytes away) or the
    // device's output has gone out. False when some were still unread.
    bool WaitUntilAnswersRead(int timeoutMs) const;

private:
    struct TPrivate;
    bool StartOn(const QString &devicePath, QString *error);
    void Run();

    std::unique_ptr<TPrivate> d;
};
