#pragma once
// SECEditFontSizeDlg: the editor's "Font and Color Settings". It edits a copy of a language's font
// and colour groups, shows a sample, and writes them back only when asked (Apply). A group with an
// automatic colour shows the colour it gets: the text group the system's window colours, the
// selection group the text group's crossed, every other group the text group's.

#include "commandbars/ColorWell.h"
#include "editor/LangConfig.h"
#include "platform/mfc/Dialog.h"

#include <vector>

// The character set the font dialog starts in for an OEM code page: the East Asian sets for their
// code pages (932, 936, 949, 950, 1361), else 0 (ANSI).
BYTE CharSetOfCodePage(UINT codePage);

class SECEditFontSizeDlg : public CDialog {
    DECLARE_DYNAMIC(SECEditFontSizeDlg)
public:
    static constexpr DWORD DefaultFontFlags = CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_FORCEFONTEXIST | CF_NOVERTFONTS;

    SECEditFontSizeDlg();
    ~SECEditFontSizeDlg() override;

    // Takes the language (once) and the editor's font: face, size, slant and weight come from the
    // language, the rest of the record (the character set) from font.
    void SetConfig(ISECEditLangConfig* config, const LOGFONTW* font);
    // Writes the font and every colour group into config.
    void Apply(ISECEditLangConfig* config) const;
    // The working font's size in points on the screen.
    int GetPointSize() const;
    const LOGFONTW& GetLogFont() const { return m_logFont; }
    // The working copy of a group, by the language's index.
    const SECEditColorGroup* GetGroup(int index) const;
    DWORD m_dwFontFlags = DefaultFontFlags;

    BOOL OnInitDialog() override;

protected:
    void OnGroupChanged();
    void OnAutomaticClicked();
    void OnResetAll();
    void OnChooseFont();
    LRESULT OnColorSelected(WPARAM control, LPARAM colour);
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void CopyFromConfig();
    SECEditColorGroup* SelectedGroup();
    void LoadControls();
    void StoreControls();
    void ResolveAutomaticColors();
    void ShowFontTexts();
    void DrawSample(CDC& dc);
    CRect SampleRect() const;

    ISECEditLangConfig* m_pConfig = nullptr;
    LOGFONTW m_logFont {};
    std::vector<SECEditColorGroup> m_groups;
    int m_nTextGroup = -1;
    int m_nSelectionGroup = -1;
    divuzura::foundation::SECWellButton m_wellFore;
    divuzura::foundation::SECWellButton m_wellBack;
    COLORREF m_foreground = 0;
    COLORREF m_background = 0xFFFFFF;
};
