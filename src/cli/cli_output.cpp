#include "cli/cli_output.h"

#include <ostream>

#include "cli/terminal_text.h"

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

int CliOutput::Succeed(const JsonObject& json, const std::string& text) {
    m_out << (m_bJson ? json.Text() : text) << "\n";
    return Flushed(kExitOk);
}

int CliOutput::Fail(const std::string& message, JsonObject json, int code) {
    if (m_bJson) {
        m_out << json.Add("error", message).Text() << "\n";
        return Flushed(code);
    }
    // Messages carry names and lines read from files.
    m_err << "tandrin-cli: " << Printable(message, true) << "\n";
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
