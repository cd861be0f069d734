#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace tandrin::test {

using namespace std::chrono_literals;

// Where a child's output goes other than the defaults: empty keeps
// standard output on the pipe and discards standard error.
struct ChildOutput {
    std::string stdoutFile;
    std::string stderrFile;
};

// A program run as a user runs it, its standard output on a pipe (or a
// file) and its standard error discarded (or in a file). argv[0] is the
// program's path.
class ChildProgram {
  public:
    explicit ChildProgram(std::vector<std::string> args, const ChildOutput& files = {}) {
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (files.stdoutFile.empty()) {
            posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, files.stdoutFile.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(
            &actions, STDERR_FILENO,
            files.stderrFile.empty() ? "/dev/null" : files.stderrFile.c_str(),
            O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_out = out[0];
    }
    ~ChildProgram() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) {
            ::close(m_out);
        }
    }

    // Standard output so far, waiting up to `limit` for a first line.
    std::string ReadLine(std::chrono::milliseconds limit = 5000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (m_text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
            pollfd readable{m_out, POLLIN, 0};
            if (::poll(&readable, 1, 50) == 1) {
                char buffer[4096];
                const ssize_t n = ::read(m_out, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                m_text.append(buffer, static_cast<std::size_t>(n));
            }
        }
        const auto newline = m_text.find('\n');
        std::string line = m_text.substr(0, newline);
        m_text.erase(0, newline == std::string::npos ? m_text.size() : newline + 1);
        return line;
    }
    // Everything up to the end of the output.
    std::string ReadAll(std::chrono::milliseconds limit = 5000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            pollfd readable{m_out, POLLIN, 0};
            if (::poll(&readable, 1, 50) != 1) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            m_text.append(buffer, static_cast<std::size_t>(n));
        }
        return std::exchange(m_text, {});
    }

    // The exit status, or -1 when it did not end within `limit`.
    int Wait(std::chrono::milliseconds limit = 5000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }
    void Signal(int signal) { ::kill(m_pid, signal); }
    bool Started() const { return m_pid > 0; }

  private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_text;
};

}  // namespace tandrin::test
