#pragma once

#include <string>

namespace tandrin::sim {

// Points the symbolic link `link` at `target`, replacing an earlier symbolic
// link there. Refuses (false, `error` set) to replace anything else.
bool PlaceSymlink(const std::string& link, const std::string& target, std::string& error);
// Removes `link` if it is still a symbolic link to `target`.
void RemoveSymlink(const std::string& link, const std::string& target);

}  // namespace tandrin::sim
