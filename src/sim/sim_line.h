#pragma once

#include <memory>
#include <string>

namespace tandrin::sim {

// The simulator's side of the line: the master side of a pty, or a real
// serial port behind a second HART modem.
class SimLine {
  public:
    virtual ~SimLine() = default;
    // Non-blocking descriptor to read requests from and write answers to.
    virtual int Fd() const = 0;
    // What the tool opens: the pty's slave path, or the serial device.
    virtual const std::string& Path() const = 0;
    // Whether the driver paces writes at 1200 baud by itself.
    virtual bool PacedByDriver() const = 0;
    // Around each answer: a modem transmits only while RTS is raised.
    virtual void BeginAnswer() {}
    virtual void EndAnswer() {}
    // Closes the line for real: the tool sees a hang-up.
    virtual void HangUp() = 0;
};

// A new pseudo-terminal. Nothing on failure, with `error` set.
std::unique_ptr<SimLine> OpenPtyLine(std::string& error);
// A real serial device with the HART line settings, held exclusively.
std::unique_ptr<SimLine> OpenSerialLine(const std::string& device, std::string& error);

}  // namespace tandrin::sim
