#pragma once
// The store of tool-bar images that bars and bitmap menus share: each registered tool-bar
// resource brings its bitmap (a strip of equally sized images) and the command id of each image.
// The store is reference counted, since several bars may hold it.

#include "platform/base/Geometry.h"
#include "platform/base/WinTypes.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/res/Templates.h"

#include <optional>

#include <string>
#include <unordered_map>
#include <vector>

// The decoded tool-bar resource of a name (RT_TOOLBAR), or nothing when it is missing or damaged.
std::optional<fln::res::ToolBarTemplate> LoadToolBarTemplate(LPCWSTR resource);

class SECBmpMgr {
public:
    SECBmpMgr() = default;
    ~SECBmpMgr();
    SECBmpMgr(const SECBmpMgr&) = delete;
    SECBmpMgr& operator=(const SECBmpMgr&) = delete;

    // A new store has one reference; Release deletes it with the last one.
    void AddRef() { ++m_references; }
    void Release();

    // Loads the bitmap of the tool-bar resource's name and maps its commands to their images. The
    // first resource of an empty store fixes the image size, the first alternate resource the
    // large image size; without an alternate resource the large images are the normal ones
    // stretched. With mapColours the greys of a palette bitmap follow the system colours. FALSE
    // when a tool-bar resource or its bitmap cannot be loaded, or a bitmap holds fewer images
    // than its resource names.
    BOOL AddToolBarResource(LPCWSTR resource, LPCWSTR alternate = nullptr, BOOL mapColours = TRUE);
    BOOL AddToolBarResource(UINT id, UINT alternateId = 0, BOOL mapColours = TRUE)
    {
        return AddToolBarResource(MAKEINTRESOURCEW(id), alternateId ? MAKEINTRESOURCEW(alternateId) : nullptr, mapColours);
    }

    // The bitmap and the image's place in it of a command: the large image in large mode or when
    // the alternate is asked for, else the normal one. FALSE for a command without an image.
    BOOL GetImage(UINT id, HBITMAP& bitmap, int& index, BOOL alternate = FALSE) const;
    // Loads every registered bitmap again (after a change of the system colours); 1.
    BOOL ReloadAll();
    // Switches between the image size and the large image size; the same mode again does nothing.
    void SetLargeButtons(BOOL large);
    BOOL IsLargeButtons() const { return m_bLargeButtons; }
    // The size of an image in the current size mode.
    CSize GetImageSize() const { return m_bLargeButtons ? m_szLargeImage : m_szImage; }

    CSize m_szImage { 16, 15 };
    CSize m_szLargeImage { 22, 24 };

private:
    // A resource name kept by value: an ordinal or a copied string.
    struct ResourceName {
        UINT ordinal = 0;
        std::wstring text;
        explicit operator bool() const { return ordinal || !text.empty(); }
        LPCWSTR Get() const { return text.empty() ? MAKEINTRESOURCEW(ordinal) : text.c_str(); }
        static ResourceName Of(LPCWSTR resource);
    };
    struct Strip {
        ResourceName name, alternateName;
        int images = 0;
        BOOL mapColours = TRUE;
        HBITMAP bitmap = nullptr;
        HBITMAP large = nullptr; // while WantsLarge: loaded, or drawn from the normal images
    };
    struct ImagePlace {
        size_t strip;
        int index;
    };

    // The strip's bitmap from its resource, greys mapped when asked; null when it cannot be had.
    static HBITMAP LoadStripBitmap(const ResourceName& name, BOOL mapColours);
    // A strip with an alternate resource keeps its large images; others have them in large mode.
    bool WantsLarge(const Strip& strip) const { return m_bLargeButtons || strip.alternateName; }
    // The large images of a strip: its alternate resource, or its images stretched.
    HBITMAP MakeLargeStrip(const Strip& strip) const;

    BOOL m_bLargeButtons = FALSE;
    int m_references = 1;
    bool m_bLargeSizeSet = false;
    std::vector<Strip> m_strips;
    std::unordered_map<UINT, ImagePlace> m_images;
};
