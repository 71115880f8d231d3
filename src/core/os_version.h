// Which verb starts an executable: systems of the NT family from major
// version 6 on ask for elevation ("runas"), everything else starts plainly.
#pragma once

#include <cstdint>
#include <optional>

namespace core {

struct OsVersion {
  std::uint32_t platform_id;
  std::uint32_t major;
};

inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // the 9x family
inline constexpr std::uint32_t kPlatformWin32Nt = 2;
// None of Windows' platform ids: the system is not Windows at all.
inline constexpr std::uint32_t kPlatformOther = 0xFFFF'FFFF;

// A version that could not be read starts executables plainly.
constexpr bool use_run_as(std::optional<OsVersion> version) {
  return version && version->platform_id == kPlatformWin32Nt && version->major > 5;
}

}  // namespace core
