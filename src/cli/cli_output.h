#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/json_writer.h"

namespace tandrin::cli {

// Exit codes of tandrin-cli; its help lists them.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,          // the command failed, or its result could not be written
    kExitUsage = 2,           // bad options: unknown option, command or language, bad value
    kExitDifferent = 3,       // snapshot diff (or restore --dry-run) found differences
    kExitOutOfTolerance = 3,  // loop-check: a point outside the tolerance
};

// Where every command's result and failure go: text on standard output and
// messages on standard error, or with --json exactly one object on
// standard output, failures included. Texts are UTF-8.
class CliOutput {
  public:
    CliOutput(std::ostream& out, std::ostream& err, bool json)
        : m_out(out), m_err(err), m_bJson(json) {}

    bool Json() const { return m_bJson; }
    // Standard error, for notes and the frame trace.
    std::ostream& Err() { return m_err; }

    // Prints the result; kExitOk, or kExitFailed when it could not be written.
    int Succeed(const JsonObject& json, const std::string& text);
    // For a result printed in parts as it comes (monitor's samples, a
    // record): the stream, and Done() once it is all there.
    std::ostream& Out() { return m_out; }
    int Done() { return Flushed(kExitOk); }
    // Prints `message` ("tandrin-cli: …" on stderr, or `json` with "error"
    // added on stdout); returns `code`.
    int Fail(const std::string& message, JsonObject json = {}, int code = kExitFailed);
    // Fail with kExitUsage; the text form points at --help.
    int UsageError(const std::string& message);

    // The device status of the transmitter's last reply, with the set bits
    // in words (UTF-8) under `caption`: every result and failure from then
    // on carries it ("device_status" under --json, else a line on standard
    // error when a bit is set).
    void NoteDeviceStatus(std::uint8_t status, std::string caption,
                          std::vector<std::string> setBits);

  private:
    int Flushed(int code);

    JsonObject WithStatus(JsonObject json) const;
    std::string StatusLine() const;

    struct DeviceStatusNote {
        std::uint8_t status;
        std::string caption;
        std::vector<std::string> setBits;
    };
    std::optional<DeviceStatusNote> m_deviceStatus;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_bJson;
};

}  // namespace tandrin::cli
