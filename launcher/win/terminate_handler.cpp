// The launchers catch the one exception they expect (memory exhaustion) at the entry point, and a
// GUI program has nowhere to print libstdc++'s diagnostic for any other. Replacing its verbose
// terminate handler keeps the demangler and the printf machinery it drags in (about a fifth of
// the executable) out of the launchers; termination itself is unchanged.

#include <cstdlib>  // also tells which C++ library this is

#if defined(__GLIBCXX__)

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

#endif
