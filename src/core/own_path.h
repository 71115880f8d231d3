// Where the program's own file lies. The folder of the medium is the folder
// of that file, so the program never takes a guess for an answer: every clue
// the system offers is weighed here, and the platform confirms the first
// candidate that leads to a file before it is believed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/path_style.h"

namespace core {

// What the system tells a program about its own file. Each may be missing
// (empty): a system without /proc, a path too long for the kernel to spell.
struct OwnPathClues {
  std::string kernel_link;     // where the kernel's link to the running file leads
  std::string exec_name;       // the name the kernel was asked to execute
  std::string first_argument;  // argv[0], as whoever started the program chose it
  std::string start_folder;    // the working folder at start, absolute
  // The kernel ran the dynamic loader, which then loaded this program from
  // its own first argument ("ld-linux.so.2 /media/cd/cdstart", the way to
  // start a program from a medium mounted noexec). The kernel's link and, with
  // older C libraries, the executed name then both name the loader.
  bool started_by_loader = false;
};

struct OwnPathCandidate {
  std::string path;  // absolute
  // A clue that may name some other file: the platform must find that the
  // file holds this very program before it is believed.
  bool must_be_confirmed;

  friend bool operator==(const OwnPathCandidate&, const OwnPathCandidate&) = default;
};

// The candidates for the program's own file, most trustworthy first: the
// kernel's link, the executed name, then the first argument. Relative names
// are taken against the start folder; a first argument without any separator
// was looked up in PATH by the caller and names no folder, so it is left out,
// as is anything relative when the start folder is unknown. No candidate
// appears twice.
std::vector<OwnPathCandidate> own_path_candidates(PathStyle style, const OwnPathClues& clues);

// `path` as an absolute path: itself when it is one, else joined to `folder`.
// Empty when it is relative and the folder is unknown.
std::string absolute_path(PathStyle style, std::string_view folder, std::string_view path);

}  // namespace core
