#include "shell/port_open_message.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "shell/lang_text.h"

namespace tandrin {

namespace {

const char* KeyOf(PortOpenError error) {
    switch (error) {
        case PortOpenError::kMissing:
            return "strPortMissing";
        case PortOpenError::kNotTerminal:
            return "strPortNotSerial";
        case PortOpenError::kBusy:
            return "strPortBusy";
        case PortOpenError::kNoPermission:
            return "strPortDenied";
        case PortOpenError::kRefusedSettings:
            return "strPortSettings";
        case PortOpenError::kOther:
            return "strPortOther";
        case PortOpenError::kBadServerName:
            return "strServerName";
        case PortOpenError::kUnknownHost:
            return "strServerUnknown";
        case PortOpenError::kNoServer:
            return "strServerNone";
        case PortOpenError::kSessionsInUse:
            return "strServerBusy";
        case PortOpenError::kVersionRefused:
            return "strServerVersion";
        case PortOpenError::kSessionRefused:
            return "strServerRefused";
        case PortOpenError::kServerNak:
            return "strServerNak";
        case PortOpenError::kServerError:
            return "strServerError";
        case PortOpenError::kNone:
            break;
    }
    return nullptr;
}

}  // namespace

std::string FillIn(const std::string& pattern, std::initializer_list<std::string> values) {
    std::string out;
    auto next = values.begin();
    std::size_t at = 0;
    for (std::size_t found; (found = pattern.find("%s", at)) != std::string::npos;) {
        out += pattern.substr(at, found - at);
        out += next != values.end() ? *next++ : std::string("%s");
        at = found + 2;
    }
    return out + pattern.substr(at);
}

std::string OwningGroup(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "dialout";
    }
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 4096);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->gr_name == nullptr) {
        return "dialout";
    }
    return found->gr_name;
}

std::string PortOpenMessage(PortOpenError error, const std::string& port) {
    const char* key = KeyOf(error);
    const std::string pattern = key != nullptr && !port.empty() ? LangText(key) : std::string();
    if (pattern.empty()) {
        return LangText("strPortFail");
    }
    if (error == PortOpenError::kNoPermission) {
        return FillIn(pattern, {port, OwningGroup(port)});
    }
    return FillIn(pattern, {port});
}

}  // namespace tandrin
