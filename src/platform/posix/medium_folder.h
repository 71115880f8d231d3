// Finding a medium file on a POSIX file system, where names are case
// sensitive but a medium (an ISO image, a FAT stick) may present its files in
// any letter case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::posix {

// The path of the entry in `folder` whose name equals `name` without regard to
// ASCII letter case (whatever the locale), or is that followed by an ISO 9660
// version (";1", as a mount that leaves a disc's plain names untranslated
// shows them), and which is a regular file once symbolic links are followed:
// folders, dangling links and special files never count. The name itself
// wins, then one in another letter case, then the newest version; among
// equals the one that sorts first bytewise.
// An empty folder means the current one; no trailing separator is needed.
// The folder may be longer than the system's calls take a path.
std::optional<std::string> resolve_in_folder(const std::string& folder, std::string_view name);

// The same for a full path: its last component is looked up in its folder.
std::optional<std::string> resolve_path(std::string_view path);

}  // namespace platform::posix
