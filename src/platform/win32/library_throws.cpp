// The statically linked C++ runtime reports a broken precondition of a
// string or a vector (a length past max_size(), an index out of range) by
// throwing a std::logic_error, whose message is a string of its own kind:
// that alone links in a second whole string implementation, some 60 KB.
// This program never asks for such a thing and catches none of them, so it
// ends at once instead, as the terminate handler would. Running out of
// memory still throws std::bad_alloc, which carries no string.
#include <cstdlib>
#include <new>

namespace std {

[[noreturn]] void __throw_bad_alloc() { throw bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw bad_array_new_length(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }

}  // namespace std
