#include "SearchState.h"

SearchState& TheSearchState()
{
    static SearchState state;
    return state;
}
