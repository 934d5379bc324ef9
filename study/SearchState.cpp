// SPDX-License-Identifier: GPL-2.0-or-later
#include "SearchState.h"

SearchState& TheSearchState()
{
    static SearchState state;
    return state;
}
