#pragma once
// CVisValidEdit: a numeric edit that shows by its background colour whether its text is
// acceptable. It sorts the text into one of ten validation states, lets only the characters of
// its input type be typed, offers a context menu that names the state and explains the rules, and
// tells its parent when the text changes and when its validity flips.

#include "controls/NumEdit.h"
#include "platform/mfc/GdiObjects.h"

#include <array>
#include <optional>

// Private messages to the parent; wParam points to a ValidationNotify.
constexpr UINT WM_VALIDATION_QUERY = WM_APP + 1; // lParam: the text; the reply is the state
constexpr UINT WM_VALIDITY_CHANGED = WM_APP + 2; // lParam: the new valid flag
constexpr UINT WM_VALIDATION_CHANGED = WM_APP + 3; // posted on every change; lParam: valid

struct ValidationNotify {
    HWND window;
    int controlId;
    int state;
};

// The validation states, indices of the state names.
enum ValidationState : int {
    StateNone = 0,
    StateEmpty = 1,
    StateValidSyntax = 2,
    StateInvalidSyntax = 3,
    StateIncomplete = 4,
    StateTooShort = 5,
    StateTooLong = 6,
    StateOutOfRange = 7,
    StateError8 = 8,
    StateError9 = 9,
};

// The background of a group of states.
enum class ValidationColour { Empty, Valid, Invalid, Warning, Error8, Error9 };

// The input types: which characters may be typed and whether a numeric range applies.
enum InputType : int {
    InputCustom = 0,
    InputAnything = 1,
    InputAlphaNumeric = 2,
    InputAlpha = 3,
    InputDecimal = 4,
    InputSignedDecimal = 5,
    InputHexadecimal = 6,
    InputOctal = 7,
    InputBinary = 8,
    InputFloat = 9,
};

// Everything that decides a text's state, without a window.
struct ValidationRules {
    std::array<bool, 256> allowed {}; // characters 0..255; none above may be typed
    bool allCharacters = false;
    int inputType = InputAnything;
    bool rangeCheck = false;
    int minLength = 0;
    int maxLength = 65535;
    bool parentValidation = false;
    bool plain = false;
    bool lengthCheck = false;
    bool zeroLengthAllowed = false;
    bool typeAnything = false;
    bool state8Valid = false;
    bool state9Valid = false;

    // Marks the characters of the type (custom: of `characters`). FALSE for a type outside 0..9,
    // which changes nothing.
    bool SetInputType(int type, const wchar_t* characters);
    bool IsAllowed(wchar_t c) const { return static_cast<size_t>(c) < allowed.size() && allowed[static_cast<size_t>(c)]; }
    // Whether the keystroke filter lets the character through to the numeric edit.
    bool MayType(wchar_t c) const;
    // -1 shorter than the minimum, 1 longer than the maximum, 0 fine or not tested.
    int LengthTest(const CString& text) const;
};

// Whether the text lies outside the numeric range of the input type.
bool IsOutOfRange(int inputType, const CString& text);

struct ValidationOutcome {
    int state;
    ValidationColour colour;
    bool syntaxOk;
    bool lengthOk;
    bool parentAnswered;
};
// The state of text. previousState is kept where no rule sets one; parentReply is the parent's
// answer to WM_VALIDATION_QUERY (none when it did not answer), used with parentValidation only.
ValidationOutcome ValidateText(const ValidationRules& rules, const CString& text, int previousState,
    std::optional<LRESULT> parentReply = {});

class CVisValidEdit : public CNumEdit {
    DECLARE_DYNAMIC(CVisValidEdit)
public:
    CVisValidEdit();

    // Clamps both to 0..65535 (swapped when the minimum is larger) and limits the edit's text.
    LRESULT SetLengthRange(int minLength, int maxLength);
    BOOL SetInputType(int type, const wchar_t* characters = nullptr);
    // Runs the validation and returns the brush of the new state.
    HBRUSH Validate();
    // With repaint, redraws the control at once (its colour answer validates); else validates.
    void Revalidate(BOOL repaint);

    void SetContextMenu(BOOL on) { m_contextMenu = on; }
    ValidationRules& Rules() { return m_rules; }
    int State() const { return m_state; }
    BOOL IsValid() const { return m_valid; }
    const CString& StateName(int state) const { return m_stateNames[state]; }
    const CString& TypeInfo(int type) const { return m_typeInfo[type]; }
    // The text of the information box.
    CString InformationText();
    // The context menu for the current state and selection; the caller destroys it.
    HMENU BuildContextMenu();

    // Menu commands.
    static constexpr UINT ID_STATE_INFO = 32772, ID_EDIT_UNDO_ITEM = 32773, ID_EDIT_CUT_ITEM = 32774,
                          ID_EDIT_COPY_ITEM = 32775, ID_EDIT_PASTE_ITEM = 32776, ID_EDIT_DELETE_ITEM = 32777,
                          ID_EDIT_SELECT_ALL_ITEM = 32778;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnChar(UINT character, UINT repeat, UINT flags);
    void OnContextMenu(CWnd* window, CPoint point);
    BOOL OnChange();
    DECLARE_MESSAGE_MAP()

private:
    CBrush& BrushOf(ValidationColour colour);
    std::optional<LRESULT> AskParent(const CString& text);
    void SelectAll();

    std::array<CBrush, 6> m_brushes;
    BOOL m_valid = FALSE;
    int m_state = StateEmpty;
    ValidationRules m_rules;
    BOOL m_contextMenu = TRUE;
    std::array<CString, 10> m_stateNames;
    std::array<CString, 10> m_typeInfo;
    ValidationNotify m_notify {};
};
