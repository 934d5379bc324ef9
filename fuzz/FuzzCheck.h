// SPDX-License-Identifier: GPL-2.0-or-later
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
