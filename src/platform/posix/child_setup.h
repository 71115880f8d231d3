// What a started program inherits from us, settled in the new process
// between fork and exec. Everything here is async-signal-safe: no allocation,
// no locks, no C library state, only system calls on the stack.
#pragma once

namespace platform::posix {

// Every signal at its default disposition, the kernel's real-time ones that
// the C library keeps for itself included, and none blocked.
void reset_signals();

// Descriptors 0, 1 and 2 open for the program: where one is closed, or is
// one of our own (ours are all close-on-exec and would vanish at exec), it is
// opened on /dev/null.
void give_standard_descriptors();

// Marks every descriptor from 3 up close-on-exec. close_range where the
// kernel has it (5.11 on); else the open ones listed in /proc/self/fd; else,
// without /proc, a scan that asks the kernel about many descriptors at once.
// Never one call per descriptor up to the limit, which can be a million.
void mark_inherited_descriptors_close_on_exec();

}  // namespace platform::posix
