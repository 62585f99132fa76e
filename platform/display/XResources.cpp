#include "platform/display/XResources.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

using fln::gdi::FontRendering;
using fln::gdi::HintStyle;
using fln::gdi::SubpixelOrder;

namespace {

std::string_view Trimmed(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Booleans as Xlib's resource converters accept them.
std::optional<bool> Boolean(std::string_view value)
{
    std::string word = Lowered(value);
    if (word == "1" || word == "true" || word == "yes" || word == "on")
        return true;
    if (word == "0" || word == "false" || word == "no" || word == "off")
        return false;
    return std::nullopt;
}

std::optional<HintStyle> Hinting(std::string_view value)
{
    std::string word = Lowered(value);
    if (word == "hintnone")
        return HintStyle::None;
    if (word == "hintslight")
        return HintStyle::Slight;
    if (word == "hintmedium")
        return HintStyle::Medium;
    if (word == "hintfull")
        return HintStyle::Full;
    return std::nullopt;
}

std::optional<SubpixelOrder> Subpixels(std::string_view value)
{
    std::string word = Lowered(value);
    if (word == "none" || word == "unknown")
        return SubpixelOrder::None;
    if (word == "rgb")
        return SubpixelOrder::Rgb;
    if (word == "bgr")
        return SubpixelOrder::Bgr;
    if (word == "vrgb")
        return SubpixelOrder::VerticalRgb;
    if (word == "vbgr")
        return SubpixelOrder::VerticalBgr;
    return std::nullopt;
}

std::optional<int> Dpi(std::string_view value)
{
    double dpi = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), dpi);
    if (error != std::errc() || end != value.data() + value.size() || !std::isfinite(dpi) || dpi <= 0 || dpi > 10000)
        return std::nullopt;
    return static_cast<int>(std::lround(dpi));
}

} // namespace

FontRendering FontRenderingFromResources(std::string_view resources)
{
    FontRendering rendering;
    std::optional<bool> hinting;
    std::optional<HintStyle> style;
    while (!resources.empty()) {
        size_t end = resources.find('\n');
        std::string_view line = resources.substr(0, end);
        resources.remove_prefix(end == std::string_view::npos ? resources.size() : end + 1);
        size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view name = Trimmed(line.substr(0, colon)), value = Trimmed(line.substr(colon + 1));
        if (name == "Xft.antialias")
            rendering.antialias = Boolean(value).value_or(rendering.antialias);
        else if (name == "Xft.hinting")
            hinting = Boolean(value);
        else if (name == "Xft.hintstyle")
            style = Hinting(value);
        else if (name == "Xft.rgba")
            rendering.subpixels = Subpixels(value).value_or(rendering.subpixels);
        else if (name == "Xft.dpi")
            rendering.dpi = Dpi(value).value_or(rendering.dpi);
    }
    // Hinting switched off wins over any style.
    rendering.hinting = hinting == false ? HintStyle::None : style.value_or(HintStyle::Full);
    return rendering;
}
