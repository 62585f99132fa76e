#include "platform/display/X11InputMethod.h"

#include "platform/base/CString.h"

#include <algorithm>
#include <cctype>

XIMStyle ChooseInputStyle(const std::vector<XIMStyle>& offered, bool overTheSpot)
{
    static constexpr XIMStyle preferred[] = {
        XIMPreeditPosition | XIMStatusNothing, XIMPreeditPosition | XIMStatusNone,
        XIMPreeditNothing | XIMStatusNothing, XIMPreeditNothing | XIMStatusNone,
        XIMPreeditNone | XIMStatusNothing, XIMPreeditNone | XIMStatusNone,
    };
    for (XIMStyle style : preferred) {
        if ((style & XIMPreeditPosition) && !overTheSpot)
            continue;
        if (std::ranges::find(offered, style) != offered.end())
            return style;
    }
    return 0;
}

XPoint SpotLocation(POINT topLeft, const std::optional<CompositionFont>& font)
{
    // Without a font, the classic dialog font's.
    const int ascent = font && font->ascent > 0 ? font->ascent : 10;
    auto clamp = [](LONG v) { return static_cast<short>(std::clamp<LONG>(v, -32768, 32767)); };
    return { clamp(topLeft.x), clamp(topLeft.y + ascent) };
}

std::string FontSetPattern(const std::optional<CompositionFont>& font)
{
    const int size = font && font->height > 0 ? font->height : 13;
    const std::string pixels = "--" + std::to_string(size) + "-*-*-*-*-*-*-*";
    std::string family;
    if (font) {
        // Core font names are lower case, and these characters would end the family.
        for (wchar_t c : font->face) {
            if (c < 0x80 && c != L'-' && c != L'*' && c != L'?' && c != L',')
                family.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    std::string pattern;
    if (!family.empty())
        pattern = "-*-" + family + "-medium-r-normal" + pixels + ",";
    return pattern + "-*-*-medium-r-normal" + pixels + ",-*-*-*-*-*" + pixels + ",*";
}

X11InputMethod::X11InputMethod(XDisplay* connection, EventSink push)
    : m_x(connection)
    , m_push(std::move(push))
{
}

X11InputMethod::~X11InputMethod()
{
    for (auto& [window, context] : m_contexts) {
        if (context.ic)
            XDestroyIC(context.ic);
        if (context.fontSet)
            XFreeFontSet(m_x, context.fontSet);
    }
    if (m_im)
        XCloseIM(m_im);
}

void X11InputMethod::Open()
{
    m_tried = true;
    // The input method the user chose; when it does not run, Xlib's own compose handling, which
    // always does.
    XSetLocaleModifiers("");
    m_im = XOpenIM(m_x, nullptr, nullptr, nullptr);
    if (!m_im) {
        XSetLocaleModifiers("@im=none");
        m_im = XOpenIM(m_x, nullptr, nullptr, nullptr);
    }
    if (!m_im)
        return;
    XIMCallback destroyed { reinterpret_cast<XPointer>(this), &X11InputMethod::OnDestroyed };
    XSetIMValues(m_im, XNDestroyCallback, &destroyed, nullptr);
    std::vector<XIMStyle> offered;
    XIMStyles* styles = nullptr;
    if (!XGetIMValues(m_im, XNQueryInputStyle, &styles, nullptr) && styles) {
        offered.assign(styles->supported_styles, styles->supported_styles + styles->count_styles);
        XFree(styles);
    }
    m_style = ChooseInputStyle(offered, true);
    m_rootStyle = ChooseInputStyle(offered, false);
}

void X11InputMethod::OnDestroyed(XIM, XPointer self, XPointer)
{
    // The input method ended (its server quit): its contexts went with it.
    auto* method = reinterpret_cast<X11InputMethod*>(self);
    method->m_im = nullptr;
    method->m_tried = false;
    for (auto& [window, context] : method->m_contexts) {
        context.ic = nullptr;
        context.overTheSpot = false;
        if (context.composing)
            method->End(window, context);
    }
}

void X11InputMethod::Prepare(Window window)
{
    // Opening parses the locale's whole Compose table, milliseconds that start-up need not wait for.
    if (!m_tried)
        Open();
    Context& context = m_contexts[window];
    if (m_im && !context.ic)
        CreateContext(window, context);
}

void X11InputMethod::CreateContext(Window window, Context& context)
{
    if (m_style & XIMPreeditPosition) {
        XFontSet fontSet = nullptr;
        char** missing = nullptr;
        int missingCount = 0;
        char* fallback = nullptr;
        fontSet = XCreateFontSet(m_x, FontSetPattern(context.font).c_str(), &missing, &missingCount, &fallback);
        if (missing)
            XFreeStringList(missing);
        XPoint spot = SpotLocation(context.spot, context.font);
        XVaNestedList preedit = XVaCreateNestedList(0, XNSpotLocation, &spot, XNFontSet, fontSet, nullptr);
        context.ic = XCreateIC(m_im, XNInputStyle, m_style, XNClientWindow, window, XNFocusWindow, window, XNPreeditAttributes, preedit, nullptr);
        XFree(preedit);
        context.overTheSpot = context.ic != nullptr;
        if (context.ic)
            std::swap(context.fontSet, fontSet);
        if (fontSet)
            XFreeFontSet(m_x, fontSet);
    }
    if (!context.ic && m_rootStyle)
        context.ic = XCreateIC(m_im, XNInputStyle, m_rootStyle, XNClientWindow, window, XNFocusWindow, window, nullptr);
    // The first key reaches a window that has the focus already.
    if (context.ic)
        XSetICFocus(context.ic);
}

void X11InputMethod::KeyFiltered(const XKeyEvent& key)
{
    auto it = m_contexts.find(key.window);
    if (key.type != KeyPress || key.keycode == 0 || it == m_contexts.end() || !it->second.ic || it->second.composing)
        return;
    // An input method that passes every key through its server sends the ones it does not keep
    // straight back.
    struct Search {
        const XKeyEvent& key;
        bool found = false;
    } search { key };
    XEvent ignored;
    XCheckIfEvent(m_x, &ignored, [](XDisplay*, XEvent* event, XPointer data) -> Bool {
        auto* s = reinterpret_cast<Search*>(data);
        s->found = s->found || (event->type == KeyPress && event->xkey.window == s->key.window
            && event->xkey.keycode == s->key.keycode && event->xkey.time == s->key.time);
        return False;
    }, reinterpret_cast<XPointer>(&search));
    if (!search.found)
        Start(key.window, it->second);
}

std::wstring X11InputMethod::Lookup(XKeyEvent& key, KeySym& symbol)
{
    symbol = NoSymbol;
    std::string text(64, '\0');
    auto it = m_contexts.find(key.window);
    if (it == m_contexts.end() || !it->second.ic) {
        text.resize(std::max(0, XLookupString(&key, text.data(), static_cast<int>(text.size()), &symbol, nullptr)));
        return NarrowToWide(text);
    }
    Context& context = it->second;
    // Committed text comes as a key press of no key.
    const bool committed = key.keycode == 0;
    if (!committed && context.composing)
        End(key.window, context);
    Status status = 0;
    int length = Xutf8LookupString(context.ic, &key, text.data(), static_cast<int>(text.size()), &symbol, &status);
    if (status == XBufferOverflow) {
        text.resize(static_cast<size_t>(length));
        length = Xutf8LookupString(context.ic, &key, text.data(), length, &symbol, &status);
    }
    text.resize(status == XLookupChars || status == XLookupBoth ? static_cast<size_t>(std::max(length, 0)) : 0);
    if (committed && !text.empty() && !context.composing)
        Start(key.window, context);
    return NarrowToWide(text);
}

void X11InputMethod::KeyDelivered(const XKeyEvent& key)
{
    auto it = m_contexts.find(key.window);
    if (key.keycode == 0 && it != m_contexts.end() && it->second.composing)
        End(key.window, it->second);
}

void X11InputMethod::FocusChanged(Window window, bool focused)
{
    auto it = m_contexts.find(window);
    if (it == m_contexts.end() || !it->second.ic)
        return;
    focused ? XSetICFocus(it->second.ic) : XUnsetICFocus(it->second.ic);
    if (!focused && it->second.composing)
        End(window, it->second);
}

void X11InputMethod::Forget(Window window)
{
    auto it = m_contexts.find(window);
    if (it == m_contexts.end())
        return;
    if (it->second.ic)
        XDestroyIC(it->second.ic);
    if (it->second.fontSet)
        XFreeFontSet(m_x, it->second.fontSet);
    m_contexts.erase(it);
}

void X11InputMethod::SetSpot(Window window, POINT topLeft)
{
    Context& context = m_contexts[window];
    if (context.spot.x == topLeft.x && context.spot.y == topLeft.y)
        return;
    context.spot = topLeft;
    if (context.overTheSpot)
        SetPreedit(context, nullptr);
}

void X11InputMethod::SetFont(Window window, const CompositionFont& font)
{
    Context& context = m_contexts[window];
    if (context.font == font)
        return;
    context.font = font;
    if (!context.overTheSpot)
        return;
    char** missing = nullptr;
    int missingCount = 0;
    char* fallback = nullptr;
    XFontSet fontSet = XCreateFontSet(m_x, FontSetPattern(font).c_str(), &missing, &missingCount, &fallback);
    if (missing)
        XFreeStringList(missing);
    SetPreedit(context, fontSet);
    if (fontSet) {
        if (context.fontSet)
            XFreeFontSet(m_x, context.fontSet);
        context.fontSet = fontSet;
    }
}

void X11InputMethod::SetPreedit(Context& context, XFontSet fontSet)
{
    // The spot is the baseline, which moves with the font's ascent.
    XPoint spot = SpotLocation(context.spot, context.font);
    XVaNestedList preedit = fontSet ? XVaCreateNestedList(0, XNSpotLocation, &spot, XNFontSet, fontSet, nullptr)
                                    : XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr);
    XSetICValues(context.ic, XNPreeditAttributes, preedit, nullptr);
    XFree(preedit);
}

bool X11InputMethod::IsOverTheSpot(Window window) const
{
    auto it = m_contexts.find(window);
    return it != m_contexts.end() && it->second.overTheSpot;
}

void X11InputMethod::Start(Window window, Context& context)
{
    context.composing = true;
    m_push({ .kind = DisplayEventKind::CompositionStarted, .window = window });
}

void X11InputMethod::End(Window window, Context& context)
{
    context.composing = false;
    m_push({ .kind = DisplayEventKind::CompositionEnded, .window = window });
}
