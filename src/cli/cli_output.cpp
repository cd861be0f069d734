#include "cli/cli_output.h"

#include <ostream>

#include "cli/terminal_text.h"
#include "device/response_codes.h"

namespace tandrin::cli {

int CliOutput::Flushed(int code) {
    m_out.flush();
    if (!m_out) {
        // A full disk or a closed pipe: the caller must not take it for done.
        m_err << "tandrin-cli: cannot write the result to standard output\n";
        return code == kExitOk ? kExitFailed : code;
    }
    return code;
}

void CliOutput::NoteDeviceStatus(std::uint8_t status, std::string caption,
                                 std::vector<std::string> setBits) {
    m_deviceStatus = DeviceStatusNote{status, std::move(caption), std::move(setBits)};
}

JsonObject CliOutput::WithStatus(JsonObject json) const {
    if (!m_deviceStatus) {
        return json;
    }
    JsonObject bits;
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        bits.Add(bit.name, (m_deviceStatus->status & bit.mask) != 0);
    }
    return json.Add("device_status", bits);
}

std::string CliOutput::StatusLine() const {
    if (!m_deviceStatus || m_deviceStatus->setBits.empty()) {
        return {};
    }
    std::string line = m_deviceStatus->caption + ": ";
    for (std::size_t i = 0; i < m_deviceStatus->setBits.size(); ++i) {
        line += (i == 0 ? "" : ", ") + m_deviceStatus->setBits[i];
    }
    return line;
}

int CliOutput::Succeed(const JsonObject& json, const std::string& text) {
    if (m_bJson) {
        m_out << WithStatus(json).Text() << "\n";
    } else {
        // Beside the result, not in it: scripts read standard output.
        m_out << text << "\n";
        if (const std::string status = StatusLine(); !status.empty()) {
            m_err << status << "\n";
        }
    }
    return Flushed(kExitOk);
}

int CliOutput::Fail(const std::string& message, JsonObject json, int code) {
    if (m_bJson) {
        m_out << WithStatus(json).Add("error", message).Text() << "\n";
        return Flushed(code);
    }
    // Messages carry names and lines read from files.
    m_err << "tandrin-cli: " << Printable(message, true) << "\n";
    if (const std::string status = StatusLine(); !status.empty()) {
        m_err << status << "\n";
    }
    if (code == kExitUsage) {
        m_err << "Try tandrin-cli --help.\n";
    }
    m_err.flush();
    return code;
}

int CliOutput::UsageError(const std::string& message) {
    return Fail(message, {}, kExitUsage);
}

}  // namespace tandrin::cli
