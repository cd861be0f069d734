#pragma once

#include <string>

#include "link/serial_port.h"

namespace tandrin {

// What went wrong opening `port`, in the interface language, naming the
// port: one text per reason; "strPortFail" when no port is named or the
// reason is unknown. Permission denied names the group to join only when
// that group may read and write the port and is not root; otherwise it
// names the owner and sends the user to an administrator.
std::string PortOpenMessage(PortOpenError error, const std::string& port);

// The group that owns the device at `path` ("dialout" on most systems, its
// number when it has no name); "dialout" when it cannot be found out.
std::string OwningGroup(const std::string& path);

// Replaces each "%s" of `pattern`, in order, by the next of `values`;
// further "%s" stay as they are.
std::string FillIn(const std::string& pattern, std::initializer_list<std::string> values);

}  // namespace tandrin
