#pragma once
// The X resource database as a string (what XResourceManagerString returns, one "name: value"
// a line) read for the font settings X programs share: Xft.antialias, Xft.hinting,
// Xft.hintstyle, Xft.rgba and Xft.dpi. A setting that is missing or not understood keeps its
// classic default.

#include "platform/gdi/FontRendering.h"

#include <string_view>

fln::gdi::FontRendering FontRenderingFromResources(std::string_view resources);
