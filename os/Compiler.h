#pragma once
// Attributes that only GCC and Clang take, written once: empty for other compilers, which then
// decide for themselves.
#if defined(__GNUC__)
// Every call in the function's body inlined into it, recursively.
#define ROOTFINDER_FLATTEN [[gnu::flatten]]
// The function is never inlined into its callers.
#define ROOTFINDER_NOINLINE [[gnu::noinline]]
#else
#define ROOTFINDER_FLATTEN
#define ROOTFINDER_NOINLINE
#endif
