// Software prefetch that the compiler keeps.
#pragma once

namespace trelvanic_memory {

// Asks the processor to load the cache line at `p` (a hint; never faults).
// Written as an instruction because GCC 12 drops `__builtin_prefetch` for
// some address computations (a table lookup's prefetch then silently does
// nothing and the lookup pays the whole miss).
inline void prefetch_line(const void* p) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
  __builtin_prefetch(p);
#endif
}

}  // namespace trelvanic_memory
