#pragma once
// A form view whose template controls grow with it: the derived view registers the controls that
// resize, and every resize scales each of them in proportion to the client area, never making one
// smaller than, or moving it up or left of, its place in the template.

#include "platform/mfc/FormView.h"

#include <vector>

class CResizableFormView : public CFormView {
    DECLARE_DYNCREATE(CResizableFormView)
public:
    explicit CResizableFormView(UINT templateId);

    void OnInitialUpdate() override;
    // The view window's size when its initial update ran.
    SIZE InitialSize() const { return m_initialSize; }

    // Registers the child with that id at its current rectangle, the smallest it will get; an id
    // without a child is ignored. The four anchor values are kept for the derived view.
    void AddControl(UINT id, int anchor1, int anchor2, int anchor3, int anchor4);
    // Anchors every registered control; the client size now is the reference of the scaling.
    void AnchorControls();
    // Anchors one registered control; a window that was never registered has no smallest
    // rectangle and is refused (FALSE). The anchor values take no part in the layout.
    BOOL AddAnchor(HWND window, int anchor1, int anchor2, int anchor3, int anchor4);

protected:
    CResizableFormView();
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    struct FormControl {
        UINT id;
        RECT rect; // in client coordinates at registration
        int anchors[4];
        HWND window;
    };
    struct Anchor {
        HWND window;
        bool isListBox;
        bool repaintStatic; // plain static text redraws wrongly when moved in a batch
        RECT rect;
    };

    RECT ClientRectOf(HWND window) const;
    const FormControl* FindControl(HWND window) const;
    RECT ScaledRect(const Anchor& anchor, int width, int height) const;
    void Layout();

    bool m_initialised = false;
    SIZE m_initialSize {};
    SIZE m_baseSize {};
    std::vector<Anchor> m_anchors;
    std::vector<FormControl> m_controls;
};
