#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "shell/frame_trace.h"
#include "shell/shell_services.h"

namespace tandrin {

// Folder of the GUI's frame trace, ending in "/":
// $XDG_STATE_HOME/tandrin/ (default ~/.local/state/tandrin/).
std::string TraceFolder();

// Makes the trace folder if need be and asks the desktop to open it.
void OpenTraceFolder(ShellServices& shell);

// "file://" and `path` with every byte outside the unreserved set and "/"
// percent-encoded.
std::string FileUrl(const std::string& path);

// The GUI's frame trace: "trace.log" in TraceFolder, begun afresh at each
// start, each line flushed as it is written so nothing is lost when the
// program ends abruptly.
class TraceLog {
  public:
    // False with `error` set when the folder or the file cannot be made.
    bool Open(std::string& error);
    const std::string& Path() const { return m_path; }
    // The trace to hand to the master; null until Open succeeded.
    FrameTrace* Trace() { return m_trace.get(); }

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::unique_ptr<FrameTrace> m_trace;
    std::string m_path;
};

}  // namespace tandrin
