#pragma once
// One press of a button-like part, by the mouse or by a key. Pressed means held and, for the
// mouse, over the part: the pressed look follows the pointer in and out while the button is held,
// and the action comes only on a release over the part. A key press acts on its key-up; a mouse
// press already under way ignores the key. Capture and drawing stay with the control.

namespace fln::user {

class PressTracker {
public:
    bool Active() const { return m_source != Source::None; }
    bool ByMouse() const { return m_source == Source::Mouse; }
    bool Pressed() const { return Active() && m_inside; }

    void PressMouse();
    void MoveMouse(bool inside);
    // Ends a mouse press; true when it acts (released over the part).
    bool ReleaseMouse(bool inside);
    void PressKey();
    // Ends a key press; true when it acts.
    bool ReleaseKey();
    // Ends any press without acting (focus or capture lost).
    void Cancel();

private:
    enum class Source { None, Mouse, Key };
    Source m_source = Source::None;
    bool m_inside = false;
};

} // namespace fln::user
