#pragma once
// Message filters: a tree of small objects that see a window's messages before (or after) its
// default handling and say, by result bits, whether they handled them. A window owns one root
// (id -1); behaviours are described by descriptors and installed, enabled and disabled by id.
//
//   SECMsgFilter root(this);                        // in the window
//   root.InstallAll(table, TRUE);                   // the behaviours it wants
//   LRESULT result = 0;
//   if (root.FilterMessage(&result) & MsgFilterHandled)
//       return result;                              // else the default handling runs

#include "platform/base/Array.h"
#include "platform/base/RunTimeClass.h"
#include "platform/mfc/Wnd.h"

// Result bits of the filtering operations, ORed over the filters that were called.
inline constexpr UINT MsgFilterHandled = 0x1; // the window skips its default processing
inline constexpr UINT MsgFilterConsumed = 0x7; // handled, a mouse message or command used up
inline constexpr UINT MsgFilterStop = 0x8; // no further sibling sees the message

class SECMsgFilter : public CObject {
    DECLARE_DYNCREATE(SECMsgFilter)
public:
    static constexpr int RootId = -1;
    // Ids below this name a caption-button kind; larger ids name none.
    static constexpr int FirstNonButtonId = 4096;

    // One filter to install: under the filter of `parentId` (RootId: under the root).
    class Descriptor {
    public:
        // Installing the filter disabled keeps its enabled state as it is.
        static constexpr int KeepStateWhenDisabled = 0x1;

        Descriptor(int id, int parentId, CRuntimeClass* filterClass, int flags = 0)
            : id(id), parentId(parentId), filterClass(filterClass), flags(flags) {}
        virtual ~Descriptor() = default;
        virtual Descriptor* Clone() const { return new Descriptor(*this); }

        int id;
        int parentId;
        CRuntimeClass* filterClass;
        int flags;
    };

    // Descriptors in installation order; the table deletes them.
    class DescriptorTable : public CArray<Descriptor*, Descriptor*> {
    public:
        DescriptorTable() = default;
        DescriptorTable(const DescriptorTable&) = delete;
        DescriptorTable& operator=(const DescriptorTable&) = delete;
        ~DescriptorTable();
        using CArray::Add;
        void Add(int id, int parentId, CRuntimeClass* filterClass, int flags = 0)
        {
            CArray::Add(new Descriptor(id, parentId, filterClass, flags));
        }
    };

    explicit SECMsgFilter(CWnd* window = nullptr, int id = RootId);
    ~SECMsgFilter() override;

    // A new filter of the same class, id, enabled state and window, with clones of the children.
    virtual SECMsgFilter* Clone() const;
    virtual CWnd* GetWnd() const { return m_window; }
    virtual void SetWnd(CWnd* window, BOOL recursive = TRUE);

    // 0 when disabled, else WindowProc.
    virtual UINT Filter(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The filter's own handling; the base offers the message to the children.
    virtual UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Each enabled child in order, until the results gathered so far carry MsgFilterStop.
    virtual UINT FilterChildren(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The direct child of that id; else, with a nonzero depth, one in the children's subtrees
    // down to that depth (-1: any); else, with a class, a new child of that class.
    virtual SECMsgFilter* FindOrCreate(int id, CRuntimeClass* filterClass = nullptr, int depth = 0);
    // Finds (or, when enabling, creates) the described filter under its parent and sets its
    // state. Null when the parent is missing or nothing was created.
    virtual SECMsgFilter* Install(const Descriptor& descriptor, BOOL enable);
    // Installs each descriptor with its own flag of `enableFlags`, one per descriptor.
    virtual void InstallTable(const DescriptorTable& table, const BOOL* enableFlags);
    virtual void InstallAll(const DescriptorTable& table, BOOL enable);

    // Offers a window's message (the one being handled now when none is given) to this filter.
    UINT FilterMessage(LRESULT* result, const MSG* message = nullptr);

    int GetId() const { return m_id; }
    BOOL IsEnabled() const { return m_enabled; }
    void Enable(BOOL enable) { m_enabled = enable; }
    INT_PTR GetChildCount() const { return m_children.GetSize(); }
    SECMsgFilter* GetChild(INT_PTR index) const { return m_children[index]; }

protected:
    int m_id;
    BOOL m_enabled = TRUE;
    BOOL m_ownsChildren = TRUE;
    CArray<SECMsgFilter*, SECMsgFilter*> m_children;
    CWnd* m_window;
};

// The base of filters that work on a window's non-client area.
class SECNcMsgFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(SECNcMsgFilter)
public:
    using SECMsgFilter::SECMsgFilter;
};
