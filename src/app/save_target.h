#pragma once
// Whether a name chosen in a save dialog can take the file: a target that a save would refuse
// (read-only, a device, a named pipe, a socket, a folder that cannot be written into) is
// found before anything is computed or written, so that the person can choose another name.

#include <string>

namespace lumatix::app {

// "" when a file can be saved under path; else the refusal the save would end with ("Can't
// open <path> for writing." and, on the next line, why). An existing folder is not judged
// here: the tree-shaped saves name folders, and a file save refuses one when it writes.
std::string saveTargetRefusal(const std::string& path);

}  // namespace lumatix::app
