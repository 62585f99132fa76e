#pragma once
// The form pages' tooltips in the house style: one tip per control that has one.

#include "platform/base/WinTypes.h"

#include <span>

class CWnd;
class CXSuperTooltip;

struct PageTip {
    UINT id;
    const wchar_t* text;
};

// Sets the tooltip's look and adds a tool for each control of page that the tips name.
void BuildPageTooltips(CXSuperTooltip& tooltip, CWnd& page, std::span<const PageTip> tips);
