#include "shell/trace_log.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "shell/settings_store.h"

namespace tandrin {

std::string TraceFolder() {
    std::string state = XdgHome("XDG_STATE_HOME", ".local/state");
    while (state.size() > 1 && state.back() == '/') {
        state.pop_back();
    }
    return state.empty() ? std::string() : state + "/tandrin/";
}

std::string FileUrl(const std::string& path) {
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || std::strchr("/-._~", c) != nullptr) {
            url += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            url += escaped;
        }
    }
    return url;
}

void OpenTraceFolder(ShellServices& shell) {
    const std::string folder = TraceFolder();
    if (folder.empty()) {
        return;
    }
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    shell.OpenAddress(FileUrl(folder));
}

bool TraceLog::Open(std::string& error) {
    const std::string folder = TraceFolder();
    if (folder.empty()) {
        error = "no home directory for the trace file";
        return false;
    }
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    m_path = folder + "trace.log";
    m_file.reset(std::fopen(m_path.c_str(), "we"));
    if (!m_file) {
        error = "cannot write " + m_path + ": " + std::strerror(errno);
        return false;
    }
    std::FILE* file = m_file.get();
    m_trace = std::make_unique<FrameTrace>([file](const std::string& line) {
        std::fputs(line.c_str(), file);
        std::fputc('\n', file);
        std::fflush(file);
    });
    return true;
}

}  // namespace tandrin
