#pragma once

#include "operator/command_stream.h"

#include <QObject>

#include <functional>
#include <random>
#include <string>

class QSocketNotifier;
class QTimer;

// The device on the master side of a pseudo-terminal, run by the event loop so that it keeps
// reading and answering while the tool sits in a wait or a modal box. It reads every byte the
// tool writes into a CommandStream and, at random times, answers with responses known and
// unknown, stray bytes and bare end marks, written in pieces cut anywhere.
class RandomDevice : public QObject {
public:
    // lineOpen tells whether the tool has the slave open: only then may the master write.
    RandomDevice(int masterFd, uint32_t seed, std::function<bool()> lineOpen);
    ~RandomDevice() override;

    // Reads what is waiting on the master now.
    void ReadNow();
    const CommandStream& Line() const { return line_; }
    // Bytes written to the tool so far.
    std::size_t Written() const { return written_; }

private:
    void Tick();
    std::string Response();
    std::string Field(int length);

    int master_;
    std::mt19937 rng_;
    std::function<bool()> lineOpen_;
    QSocketNotifier* reader_;
    QTimer* timer_;
    CommandStream line_;
    // Made but not yet written: it waits for an open line and room in the terminal.
    std::string pending_;
    std::size_t written_ = 0;
};
