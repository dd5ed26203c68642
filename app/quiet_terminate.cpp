// The GNU runtime's default terminate handler prints the type of the
// exception that ended the program, and for that links the whole C++ name
// demangler (about 46 KB) into the exe. A Windows GUI program has no console
// to print on; this handler ends the program just the same, by std::abort.
// It must be an object of the program itself (not of a library) to take the
// place of the runtime's own.

#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
