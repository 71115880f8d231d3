// The file from which the FLTK module is loaded: a copy of the bytes the
// program carries, which no other process can change between their writing
// and their loading, nor after.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ui::fltk {

// Where the file may be made. Tests narrow it down to one way.
struct ModuleFilePlaces {
  bool memory_file = true;  // an anonymous, sealed memory file (memfd_create)
  // Else a private temporary file in the first of these folders whose file
  // system can hold one and lets code run from it.
  std::vector<std::string> temporary_folders = {"/dev/shm", "/tmp", "/var/tmp"};
};

// A descriptor (close-on-exec) of a file that holds exactly `bytes` and that
// nobody can change:
// - a memory file, sealed against writing, growing and shrinking (and against
//   further seals) before anything loads it; or, where memory files are
//   refused,
// - an unnamed temporary file (O_TMPFILE with O_EXCL: it has no name in any
//   folder and can never be given one), readable and executable by its owner
//   only.
// Both can be reached by another process only through /proc/PID/fd, which
// is closed to other processes while the caller holds a
// HiddenFromOtherProcesses. The contents are compared with `bytes` once the
// file can no longer change. -1 on failure, and `error` says why.
int make_module_file(std::span<const std::uint8_t> bytes, std::string& error,
                     const ModuleFilePlaces& places = {});

// While one exists, the process is not dumpable: its /proc/PID entries, the
// open descriptors among them, belong to root, and no other process of the
// same user may open them (nor attach to it).
class HiddenFromOtherProcesses {
 public:
  HiddenFromOtherProcesses();
  HiddenFromOtherProcesses(const HiddenFromOtherProcesses&) = delete;
  HiddenFromOtherProcesses& operator=(const HiddenFromOtherProcesses&) = delete;
  ~HiddenFromOtherProcesses();

 private:
  int was_dumpable_;
};

}  // namespace ui::fltk
