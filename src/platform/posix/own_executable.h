// The running program's own file, found for certain or not at all.
#pragma once

#include <string>

#include "core/own_path.h"

namespace platform::posix {

// The absolute, link-free path of the program's own file, of any length;
// empty when no clue the system offers leads to it for certain, and `why`
// then says so in a few words. Works without /proc and when the program was
// started through the dynamic loader.
std::string own_executable(std::string& why);

// The same from the clues given: the first candidate (core/own_path.h) that
// leads to a regular file, through any links, and that holds this program
// where it must be confirmed.
std::string find_own_file(const core::OwnPathClues& clues, std::string& why);

// True when the file `name` in the folder open as `folder` holds the running
// program: its first page, headers and build id included, is the one mapped
// as the main program.
bool holds_this_program(int folder, const std::string& name);

}  // namespace platform::posix
