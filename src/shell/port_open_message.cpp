#include "shell/port_open_message.h"

#include <grp.h>
#include <pwd.h>
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

namespace {

std::string GroupName(gid_t gid) {
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 4096);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->gr_name == nullptr) {
        return std::to_string(gid);
    }
    return found->gr_name;
}

std::string UserName(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 4096);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_name == nullptr) {
        return std::to_string(uid);
    }
    return found->pw_name;
}

// Joining the port's group helps only when that group may read and write
// it; and joining root is no advice to give.
std::string DeniedMessage(const std::string& port) {
    struct stat info {};
    if (::stat(port.c_str(), &info) != 0) {
        return FillIn(LangText("strPortDeniedOwner"), {port, "?", "?"});
    }
    const std::string groupName = GroupName(info.st_gid);
    const bool groupMayUse = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (groupMayUse && info.st_gid != 0 && groupName != "root") {
        return FillIn(LangText("strPortDenied"), {port, groupName});
    }
    return FillIn(LangText("strPortDeniedOwner"), {port, UserName(info.st_uid), groupName});
}

}  // namespace

std::string OwningGroup(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "dialout";
    }
    return GroupName(info.st_gid);
}

std::string PortOpenMessage(PortOpenError error, const std::string& port) {
    const char* key = KeyOf(error);
    const std::string pattern = key != nullptr && !port.empty() ? LangText(key) : std::string();
    if (pattern.empty()) {
        return LangText("strPortFail");
    }
    if (error == PortOpenError::kNoPermission) {
        return DeniedMessage(port);
    }
    return FillIn(pattern, {port});
}

}  // namespace tandrin
