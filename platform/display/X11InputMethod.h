#pragma once
// The X input method behind the x11 display's keys: dead keys and compose sequences, and the
// input methods of other languages that the user chose in XMODIFIERS. It is opened on the first
// key (the user's choice, else Xlib's own compose handling) and gives each top-level window an
// input context of the richest style it can serve: the text being composed drawn by the input
// method at a spot the program gives ("over the spot"), else in a window of the input method's own.
// It tells the display's event queue when a composition starts and ends, and lives on when the
// input method goes away: the next key opens one again.
//
// Include after the test framework: Xlib defines names (None, Bool, Status) others use.

#include "platform/display/Display.h"

#define Display XDisplay
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Display

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The style to ask an input method for, out of the ones it offers: over the spot when allowed and
// offered, else the text composed in the input method's own window, else no composition shown at all;
// 0 when it offers none of those.
XIMStyle ChooseInputStyle(const std::vector<XIMStyle>& offered, bool overTheSpot);
// The point an over-the-spot input method starts the composed text at: its baseline.
XPoint SpotLocation(POINT topLeft, const std::optional<CompositionFont>& font);
// The core fonts an input method draws composed text with: the font's family at its size first,
// any font of that size next, any font at last.
std::string FontSetPattern(const std::optional<CompositionFont>& font);

class X11InputMethod {
public:
    using EventSink = std::function<void(DisplayEvent)>;

    X11InputMethod(XDisplay* connection, EventSink push);
    ~X11InputMethod();
    X11InputMethod(const X11InputMethod&) = delete;
    X11InputMethod& operator=(const X11InputMethod&) = delete;

    // Before XFilterEvent sees a key of the window: opens the input method and the window's
    // context on first need.
    void Prepare(Window window);
    // XFilterEvent kept a key press: a composition starts unless the key comes back at once.
    void KeyFiltered(const XKeyEvent& key);
    // What a key press the input method let through types, and its key symbol. A key typed while
    // a composition runs ends it first; committed text starts one when none runs. Bytes that are
    // not UTF-8 (Latin-1 from a window without a context, a faulty input method) are read in the
    // fallback code page, as all text from other programs is.
    std::wstring Lookup(XKeyEvent& key, KeySym& symbol);
    // After the key's event was queued: committed text ends the composition.
    void KeyDelivered(const XKeyEvent& key);
    void FocusChanged(Window window, bool focused);
    void Forget(Window window);

    void SetSpot(Window window, POINT topLeft);
    void SetFont(Window window, const CompositionFont& font);

    // Whether the window's context shows compositions over the spot; false without a context.
    bool IsOverTheSpot(Window window) const;

private:
    struct Context {
        XIC ic = nullptr;
        bool overTheSpot = false;
        bool composing = false;
        POINT spot {};
        std::optional<CompositionFont> font;
        XFontSet fontSet = nullptr;
    };

    void Open();
    void CreateContext(Window window, Context& context);
    void SetPreedit(Context& context, XFontSet fontSet);
    void Start(Window window, Context& context);
    void End(Window window, Context& context);
    static void OnDestroyed(XIM, XPointer self, XPointer);

    XDisplay* m_x;
    EventSink m_push;
    XIM m_im = nullptr;
    bool m_tried = false;
    XIMStyle m_style = 0;     // the best style offered
    XIMStyle m_rootStyle = 0; // the best one without over the spot, when that fails
    std::map<Window, Context> m_contexts;
};
