#pragma once
// How a toolkit window offers its messages to its message filters: some before the default
// handling, which runs only when no filter handled them; some after it, so that the filters
// repaint what the default handling drew.

#include "framework/MsgFilter.h"

#include <functional>

enum class FilterTurn { None, First, After };

inline LRESULT RouteThroughFilters(SECMsgFilter& root, FilterTurn turn, UINT message, WPARAM wParam, LPARAM lParam,
    const std::function<LRESULT()>& defaultHandling)
{
    LRESULT result = 0;
    switch (turn) {
    case FilterTurn::First:
        if (root.Filter(message, wParam, lParam, &result) & MsgFilterHandled)
            return result;
        return defaultHandling();
    case FilterTurn::After: {
        LRESULT answer = defaultHandling();
        root.Filter(message, wParam, lParam, &result);
        return answer;
    }
    case FilterTurn::None:
        break;
    }
    return defaultHandling();
}
