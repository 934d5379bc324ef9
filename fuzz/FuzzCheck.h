#pragma once
// A contract the code under test must keep whatever its input: when it is broken the
// run ends as a crash would, so that libFuzzer keeps the input, and says which one.

#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* contract)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz: broken: %s\n", contract);
    std::abort();
}

// A contract known to be broken by inputs kept in fuzz/findings/, whose fault is not
// mended yet: told once a run, so that a short run still explores everything else.
// Becomes FuzzCheck again once the fault is mended.
inline void FuzzKnownFault(bool holds, const char* contract)
{
    static bool told = false;
    if (holds || told)
        return;
    told = true;
    std::fprintf(stderr, "fuzz: known fault, not mended yet: %s\n", contract);
}
