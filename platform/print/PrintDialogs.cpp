// The print and page setup dialogs, made of the standard controls from templates built here.

#include "platform/print/PrintDialogs.h"

#include "platform/base/MessageBox.h"
#include "platform/base/MulDiv.h"
#include "platform/print/DialogTemplate.h"
#include "platform/print/PrinterDC.h"
#include "platform/print/Printers.h"
#include "platform/user/DialogObject.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

using namespace fln::print;

namespace {

thread_local DWORD t_lastError = 0;

BOOL fail(DWORD error)
{
    t_lastError = error;
    return FALSE;
}

// ---- settings in global memory

DEVMODEW devModeOf(HGLOBAL memory, const std::wstring& device)
{
    DEVMODEW mode = DefaultDevMode(device.c_str());
    if (memory && ::GlobalSize(memory) >= sizeof(DEVMODEW)) {
        std::memcpy(&mode, ::GlobalLock(memory), sizeof(DEVMODEW));
        ::GlobalUnlock(memory);
    }
    return mode;
}

void replace(HGLOBAL& slot, HGLOBAL memory)
{
    if (slot)
        ::GlobalFree(slot);
    slot = memory;
}

std::wstring nameAt(HGLOBAL devNames, WORD DEVNAMES::*offset)
{
    if (!devNames || ::GlobalSize(devNames) < sizeof(DEVNAMES))
        return {};
    size_t size = ::GlobalSize(devNames) / sizeof(wchar_t);
    auto* chars = static_cast<const wchar_t*>(::GlobalLock(devNames));
    const auto* header = reinterpret_cast<const DEVNAMES*>(chars);
    std::wstring name;
    size_t at = header->*offset;
    if (at >= sizeof(DEVNAMES) / sizeof(wchar_t) && at < size)
        name.assign(chars + at, wcsnlen(chars + at, size - at));
    ::GlobalUnlock(devNames);
    return name;
}

// What the dialogs start from: the caller's printer and settings, or the default printer's.
struct Choice {
    std::vector<PrinterInfo> printers;
    size_t printer = 0;
    DEVMODEW mode {};
    std::wstring output;

    bool load(HGLOBAL devNames, HGLOBAL devMode)
    {
        printers = ListPrinters();
        if (printers.empty())
            return false;
        std::wstring wanted = DeviceNameOf(devNames);
        auto found = std::find_if(printers.begin(), printers.end(), [&](const PrinterInfo& p) { return p.name == wanted; });
        if (found == printers.end())
            found = std::find_if(printers.begin(), printers.end(), [](const PrinterInfo& p) { return p.isDefault; });
        printer = found == printers.end() ? 0 : static_cast<size_t>(found - printers.begin());
        mode = devModeOf(devMode, printers[printer].name);
        output = OutputNameOf(devNames);
        return true;
    }
    const PrinterInfo& current() const { return printers[printer]; }
    void store(HGLOBAL& devNames, HGLOBAL& devMode)
    {
        std::wmemset(mode.dmDeviceName, 0, std::size(mode.dmDeviceName));
        wcsncpy(mode.dmDeviceName, current().name.c_str(), std::size(mode.dmDeviceName) - 1);
        replace(devMode, NewDevMode(mode));
        replace(devNames, NewDevNames(current().name, current().toFile ? output : L"", current().isDefault));
    }
};

void warnNoPrinter(HWND owner)
{
    ShowMessageBox(L"No printers are installed. Install a printer before you print or set up pages.", L"Print",
        MB_OK | MB_ICONEXCLAMATION);
}

std::wstring itemText(HWND dialog, int id)
{
    wchar_t buffer[1024] {};
    ::GetDlgItemTextW(dialog, id, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

// A whole number typed into a field, or -1.
int numberIn(HWND dialog, int id)
{
    BOOL translated = FALSE;
    UINT value = ::GetDlgItemInt(dialog, id, &translated, FALSE);
    return translated && value <= 0x7FFF ? static_cast<int>(value) : -1;
}

void complain(HWND dialog, int field, const wchar_t* text)
{
    ShowMessageBox(text, L"Print", MB_OK | MB_ICONEXCLAMATION);
    HWND control = ::GetDlgItem(dialog, field);
    ::SetFocus(control);
    ::SendMessageW(control, EM_SETSEL, 0, -1);
}

void fillPrinters(HWND dialog, const Choice& choice)
{
    for (const PrinterInfo& printer : choice.printers)
        ::SendDlgItemMessageW(dialog, IDC_PRINTER_NAME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(printer.name.c_str()));
    ::SendDlgItemMessageW(dialog, IDC_PRINTER_NAME, CB_SETCURSEL, choice.printer, 0);
}

using Kind = DialogTemplate::Kind;
constexpr DWORD kTab = WS_TABSTOP, kGroup = WS_GROUP | WS_TABSTOP;
constexpr DWORD kField = WS_BORDER | ES_AUTOHSCROLL | kTab;
constexpr DWORD kList = CBS_DROPDOWNLIST | kTab;

void addButtons(DialogTemplate& dialog, short y)
{
    dialog.add(Kind::Button, L"OK", IDOK, BS_DEFPUSHBUTTON | kGroup, 170, y, 50, 14);
    dialog.add(Kind::Button, L"Cancel", IDCANCEL, BS_PUSHBUTTON | kTab, 223, y, 50, 14);
}

// ---- the print dialog

struct PrintState {
    PRINTDLGW* settings;
    Choice choice;
};

DialogTemplate printTemplate(DWORD flags)
{
    DialogTemplate dialog(flags & PD_PRINTSETUP ? L"Print Setup" : L"Print", 280, 188);
    dialog.add(Kind::Button, L"Printer", -1, BS_GROUPBOX, 7, 4, 266, 60);
    dialog.add(Kind::Static, L"&Name:", -1, SS_LEFT, 14, 18, 36, 8);
    dialog.add(Kind::ComboBox, L"", IDC_PRINTER_NAME, kList | WS_GROUP, 52, 16, 214, 100);
    dialog.add(Kind::Static, L"Comment:", -1, SS_LEFT, 14, 33, 36, 8);
    dialog.add(Kind::Static, L"", IDC_PRINTER_COMMENT, SS_LEFT | SS_NOPREFIX, 52, 33, 214, 8);
    dialog.add(Kind::Static, L"&File name:", -1, SS_LEFT, 14, 47, 36, 8);
    dialog.add(Kind::Edit, L"", IDC_PRINT_FILE, kField, 52, 45, 214, 12);
    if (!(flags & PD_PRINTSETUP)) {
        dialog.add(Kind::Button, L"Print range", -1, BS_GROUPBOX, 7, 70, 140, 88);
        dialog.add(Kind::Button, L"&All", IDC_PRINT_ALL, BS_AUTORADIOBUTTON | kGroup, 14, 84, 60, 10);
        dialog.add(Kind::Button, L"Pa&ges", IDC_PRINT_PAGES, BS_AUTORADIOBUTTON, 14, 101, 36, 10);
        dialog.add(Kind::Button, L"&Selection", IDC_PRINT_SELECTION, BS_AUTORADIOBUTTON, 14, 118, 60, 10);
        dialog.add(Kind::Static, L"&from:", -1, SS_RIGHT | WS_GROUP, 50, 102, 20, 8);
        dialog.add(Kind::Edit, L"", IDC_PRINT_FROM, kField, 72, 100, 24, 12);
        dialog.add(Kind::Static, L"&to:", -1, SS_RIGHT, 98, 102, 12, 8);
        dialog.add(Kind::Edit, L"", IDC_PRINT_TO, kField, 112, 100, 24, 12);
        dialog.add(Kind::Button, L"Copies", -1, BS_GROUPBOX, 153, 70, 120, 88);
        dialog.add(Kind::Static, L"Number of &copies:", -1, SS_LEFT, 160, 86, 64, 8);
        dialog.add(Kind::Edit, L"", IDC_PRINT_COPIES, kField, 228, 84, 36, 12);
        dialog.add(Kind::Button, L"C&ollate", IDC_PRINT_COLLATE, BS_AUTOCHECKBOX | kTab, 160, 104, 60, 10);
    }
    addButtons(dialog, 166);
    return dialog;
}

// The file name is only asked for when the PDF printer is chosen.
void showPrinter(HWND dialog, const Choice& choice)
{
    ::SetDlgItemTextW(dialog, IDC_PRINTER_COMMENT, choice.current().description.c_str());
    ::EnableWindow(::GetDlgItem(dialog, IDC_PRINT_FILE), choice.current().toFile);
}

void enableRange(HWND dialog)
{
    bool pages = ::IsDlgButtonChecked(dialog, IDC_PRINT_PAGES) == BST_CHECKED;
    ::EnableWindow(::GetDlgItem(dialog, IDC_PRINT_FROM), pages);
    ::EnableWindow(::GetDlgItem(dialog, IDC_PRINT_TO), pages);
}

void initPrint(HWND dialog, PrintState& state)
{
    const PRINTDLGW& settings = *state.settings;
    fillPrinters(dialog, state.choice);
    ::SetDlgItemTextW(dialog, IDC_PRINT_FILE, state.choice.output.c_str());
    showPrinter(dialog, state.choice);
    if (settings.Flags & PD_PRINTSETUP)
        return;
    int range = settings.Flags & PD_SELECTION ? IDC_PRINT_SELECTION : settings.Flags & PD_PAGENUMS ? IDC_PRINT_PAGES : IDC_PRINT_ALL;
    ::CheckRadioButton(dialog, IDC_PRINT_ALL, IDC_PRINT_SELECTION, range);
    ::EnableWindow(::GetDlgItem(dialog, IDC_PRINT_PAGES), !(settings.Flags & PD_NOPAGENUMS));
    ::EnableWindow(::GetDlgItem(dialog, IDC_PRINT_SELECTION), !(settings.Flags & PD_NOSELECTION));
    ::SetDlgItemInt(dialog, IDC_PRINT_FROM, std::max(settings.nFromPage, settings.nMinPage), FALSE);
    ::SetDlgItemInt(dialog, IDC_PRINT_TO, std::min(std::max(settings.nToPage, settings.nFromPage), settings.nMaxPage), FALSE);
    enableRange(dialog);
    int copies = settings.Flags & PD_USEDEVMODECOPIES ? state.choice.mode.dmCopies : settings.nCopies;
    ::SetDlgItemInt(dialog, IDC_PRINT_COPIES, std::max(copies, 1), FALSE);
    ::CheckDlgButton(dialog, IDC_PRINT_COLLATE, settings.Flags & PD_COLLATE ? BST_CHECKED : BST_UNCHECKED);
}

// Takes the dialog's fields into the caller's structure; false (with a message) for a bad field.
bool acceptPrint(HWND dialog, PrintState& state)
{
    PRINTDLGW& settings = *state.settings;
    Choice& choice = state.choice;
    choice.output = itemText(dialog, IDC_PRINT_FILE);
    if (choice.current().toFile && choice.output.empty()) {
        complain(dialog, IDC_PRINT_FILE, L"Type the name of the PDF file to print to.");
        return false;
    }
    if (!(settings.Flags & PD_PRINTSETUP)) {
        int from = 0, to = 0;
        bool pages = ::IsDlgButtonChecked(dialog, IDC_PRINT_PAGES) == BST_CHECKED;
        if (pages) {
            from = numberIn(dialog, IDC_PRINT_FROM), to = numberIn(dialog, IDC_PRINT_TO);
            if (from < settings.nMinPage || from > settings.nMaxPage || to < from || to > settings.nMaxPage) {
                std::wstring text = L"Type page numbers from " + std::to_wstring(settings.nMinPage) + L" to " +
                    std::to_wstring(settings.nMaxPage) + L", the first not after the last.";
                complain(dialog, from < settings.nMinPage || from > settings.nMaxPage ? IDC_PRINT_FROM : IDC_PRINT_TO, text.c_str());
                return false;
            }
        }
        int copies = numberIn(dialog, IDC_PRINT_COPIES);
        if (copies < 1 || copies > 999) {
            complain(dialog, IDC_PRINT_COPIES, L"Type a number of copies from 1 to 999.");
            return false;
        }
        settings.Flags &= ~(PD_PAGENUMS | PD_SELECTION | PD_COLLATE);
        if (pages) {
            settings.Flags |= PD_PAGENUMS;
            settings.nFromPage = static_cast<WORD>(from), settings.nToPage = static_cast<WORD>(to);
        } else if (::IsDlgButtonChecked(dialog, IDC_PRINT_SELECTION) == BST_CHECKED) {
            settings.Flags |= PD_SELECTION;
        }
        if (::IsDlgButtonChecked(dialog, IDC_PRINT_COLLATE) == BST_CHECKED)
            settings.Flags |= PD_COLLATE;
        choice.mode.dmCopies = static_cast<short>(copies);
        choice.mode.dmFields |= DM_COPIES;
        settings.nCopies = static_cast<WORD>(copies);
    }
    return true;
}

void selectPrinter(HWND dialog, Choice& choice)
{
    LRESULT index = ::SendDlgItemMessageW(dialog, IDC_PRINTER_NAME, CB_GETCURSEL, 0, 0);
    if (index >= 0 && static_cast<size_t>(index) < choice.printers.size())
        choice.printer = static_cast<size_t>(index);
    showPrinter(dialog, choice);
}

INT_PTR printProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = fln::user::DialogObject<PrintState>(dialog, message, lParam);
    if (message == WM_INITDIALOG) {
        initPrint(dialog, *state);
        return TRUE;
    }
    if (message != WM_COMMAND || !state)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_PRINTER_NAME:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            selectPrinter(dialog, state->choice);
        return TRUE;
    case IDC_PRINT_ALL:
    case IDC_PRINT_PAGES:
    case IDC_PRINT_SELECTION:
        enableRange(dialog);
        return TRUE;
    case IDOK:
        if (acceptPrint(dialog, *state))
            ::EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- the page setup dialog

struct Paper {
    short code;
    const wchar_t* name;
};
constexpr Paper kPaperNames[] = { { DMPAPER_A4, L"A4" }, { DMPAPER_A5, L"A5" }, { DMPAPER_A3, L"A3" }, { DMPAPER_LETTER, L"Letter" },
    { DMPAPER_LEGAL, L"Legal" } };
constexpr int kMarginFields[] = { IDC_MARGIN_LEFT, IDC_MARGIN_TOP, IDC_MARGIN_RIGHT, IDC_MARGIN_BOTTOM };

struct PageSetupState {
    PAGESETUPDLGW* settings;
    Choice choice;
    bool inches; // margins in thousandths of an inch, else hundredths of a millimetre
};

DialogTemplate pageSetupTemplate()
{
    DialogTemplate dialog(L"Page Setup", 280, 156);
    dialog.add(Kind::Button, L"Paper", -1, BS_GROUPBOX, 7, 4, 266, 32);
    dialog.add(Kind::Static, L"Si&ze:", -1, SS_LEFT, 14, 18, 30, 8);
    dialog.add(Kind::ComboBox, L"", IDC_PAPER_SIZE, kList | WS_GROUP, 48, 16, 218, 100);
    dialog.add(Kind::Button, L"Orientation", -1, BS_GROUPBOX, 7, 42, 100, 50);
    dialog.add(Kind::Button, L"P&ortrait", IDC_PORTRAIT, BS_AUTORADIOBUTTON | kGroup, 14, 56, 80, 10);
    dialog.add(Kind::Button, L"L&andscape", IDC_LANDSCAPE, BS_AUTORADIOBUTTON, 14, 72, 80, 10);
    dialog.add(Kind::Button, L"Margins (millimetres)", -1, BS_GROUPBOX, 113, 42, 160, 50);
    const wchar_t* labels[] = { L"&Left:", L"&Top:", L"&Right:", L"&Bottom:" };
    for (int i = 0; i < 4; ++i) {
        short x = i < 2 ? 120 : 192, y = i % 2 ? 74 : 56;
        dialog.add(Kind::Static, labels[i], -1, SS_LEFT | WS_GROUP, x, static_cast<short>(y + 2), 30, 8);
        dialog.add(Kind::Edit, L"", kMarginFields[i], kField, static_cast<short>(x + 34), y, 30, 12);
    }
    dialog.add(Kind::Button, L"Printer", -1, BS_GROUPBOX, 7, 97, 266, 32);
    dialog.add(Kind::Static, L"&Name:", -1, SS_LEFT, 14, 111, 30, 8);
    dialog.add(Kind::ComboBox, L"", IDC_PRINTER_NAME, kList | WS_GROUP, 48, 109, 218, 100);
    addButtons(dialog, 136);
    return dialog;
}

// A margin in the caller's units <-> whole millimetres.
int toMillimetres(LONG value, bool inches) { return inches ? static_cast<int>((value * 254 + 5000) / 10000) : static_cast<int>((value + 50) / 100); }
LONG fromMillimetres(int mm, bool inches) { return inches ? (mm * 10000 + 127) / 254 : mm * 100; }

void initPageSetup(HWND dialog, PageSetupState& state)
{
    const PAGESETUPDLGW& settings = *state.settings;
    const DEVMODEW& mode = state.choice.mode;
    for (const Paper& paper : kPaperNames) {
        LRESULT index = ::SendDlgItemMessageW(dialog, IDC_PAPER_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(paper.name));
        if (paper.code == mode.dmPaperSize)
            ::SendDlgItemMessageW(dialog, IDC_PAPER_SIZE, CB_SETCURSEL, index, 0);
    }
    ::CheckRadioButton(dialog, IDC_PORTRAIT, IDC_LANDSCAPE, mode.dmOrientation == DMORIENT_LANDSCAPE ? IDC_LANDSCAPE : IDC_PORTRAIT);
    RECT margins = settings.Flags & PSD_MARGINS ? settings.rtMargin : RECT { 2500, 2500, 2500, 2500 };
    bool inches = settings.Flags & PSD_MARGINS ? state.inches : false;
    LONG values[] = { margins.left, margins.top, margins.right, margins.bottom };
    for (int i = 0; i < 4; ++i) {
        ::SetDlgItemInt(dialog, kMarginFields[i], toMillimetres(values[i], inches), FALSE);
        ::EnableWindow(::GetDlgItem(dialog, kMarginFields[i]), !(settings.Flags & PSD_DISABLEMARGINS));
    }
    ::EnableWindow(::GetDlgItem(dialog, IDC_PORTRAIT), !(settings.Flags & PSD_DISABLEORIENTATION));
    ::EnableWindow(::GetDlgItem(dialog, IDC_LANDSCAPE), !(settings.Flags & PSD_DISABLEORIENTATION));
    ::EnableWindow(::GetDlgItem(dialog, IDC_PAPER_SIZE), !(settings.Flags & PSD_DISABLEPAPER));
    fillPrinters(dialog, state.choice);
    ::EnableWindow(::GetDlgItem(dialog, IDC_PRINTER_NAME), !(settings.Flags & PSD_DISABLEPRINTER));
}

void storePaperSize(PAGESETUPDLGW& settings, const DEVMODEW& mode, bool inches)
{
    PageGeometry geometry = GeometryOf(mode, true);
    auto convert = [&](int pixels, int dpi) { return inches ? MulDiv(pixels, 1000, dpi) : MulDiv(pixels, 2540, dpi); };
    settings.ptPaperSize = POINT { convert(geometry.paper.cx, geometry.dpi.cx), convert(geometry.paper.cy, geometry.dpi.cy) };
}

bool acceptPageSetup(HWND dialog, PageSetupState& state)
{
    PAGESETUPDLGW& settings = *state.settings;
    DEVMODEW& mode = state.choice.mode;
    LRESULT paper = ::SendDlgItemMessageW(dialog, IDC_PAPER_SIZE, CB_GETCURSEL, 0, 0);
    if (paper >= 0 && paper < static_cast<LRESULT>(std::size(kPaperNames))) {
        mode.dmPaperSize = kPaperNames[paper].code;
        mode.dmFields = (mode.dmFields | DM_PAPERSIZE) & ~(DM_PAPERWIDTH | DM_PAPERLENGTH);
    }
    mode.dmOrientation = ::IsDlgButtonChecked(dialog, IDC_LANDSCAPE) == BST_CHECKED ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    mode.dmFields |= DM_ORIENTATION;
    PageGeometry geometry = GeometryOf(mode, true);
    // Margins may take at most half the sheet each way.
    int limits[] = { MulDiv(geometry.paper.cx, 254, geometry.dpi.cx * 20), MulDiv(geometry.paper.cy, 254, geometry.dpi.cy * 20) };
    int values[4];
    for (int i = 0; i < 4; ++i) {
        values[i] = numberIn(dialog, kMarginFields[i]);
        if (values[i] < 0 || values[i] > limits[i % 2]) {
            std::wstring text = L"Type a margin from 0 to " + std::to_wstring(limits[i % 2]) + L" millimetres.";
            complain(dialog, kMarginFields[i], text.c_str());
            return false;
        }
    }
    settings.rtMargin = { fromMillimetres(values[0], state.inches), fromMillimetres(values[1], state.inches),
        fromMillimetres(values[2], state.inches), fromMillimetres(values[3], state.inches) };
    settings.Flags |= PSD_MARGINS;
    storePaperSize(settings, mode, state.inches);
    return true;
}

INT_PTR pageSetupProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = fln::user::DialogObject<PageSetupState>(dialog, message, lParam);
    if (message == WM_INITDIALOG) {
        initPageSetup(dialog, *state);
        return TRUE;
    }
    if (message != WM_COMMAND || !state)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_PRINTER_NAME:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            LRESULT index = ::SendDlgItemMessageW(dialog, IDC_PRINTER_NAME, CB_GETCURSEL, 0, 0);
            if (index >= 0 && static_cast<size_t>(index) < state->choice.printers.size())
                state->choice.printer = static_cast<size_t>(index);
        }
        return TRUE;
    case IDOK:
        if (acceptPageSetup(dialog, *state))
            ::EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

namespace fln::print {

HGLOBAL NewDevMode(const DEVMODEW& mode)
{
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DEVMODEW));
    if (memory) {
        std::memcpy(::GlobalLock(memory), &mode, sizeof(DEVMODEW));
        ::GlobalUnlock(memory);
    }
    return memory;
}

HGLOBAL NewDevNames(const std::wstring& device, const std::wstring& output, bool isDefault)
{
    constexpr size_t header = sizeof(DEVNAMES) / sizeof(wchar_t) + (sizeof(DEVNAMES) % sizeof(wchar_t) != 0);
    const std::wstring driver = L"winspool";
    size_t chars = header + driver.size() + 1 + device.size() + 1 + output.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GHND, chars * sizeof(wchar_t));
    if (!memory)
        return nullptr;
    auto* base = static_cast<wchar_t*>(::GlobalLock(memory));
    auto* names = reinterpret_cast<DEVNAMES*>(base);
    size_t at = header;
    auto put = [&](const std::wstring& text) {
        WORD offset = static_cast<WORD>(at);
        std::wmemcpy(base + at, text.c_str(), text.size() + 1);
        at += text.size() + 1;
        return offset;
    };
    names->wDriverOffset = put(driver);
    names->wDeviceOffset = put(device);
    names->wOutputOffset = put(output);
    names->wDefault = isDefault ? DN_DEFAULTPRN : 0;
    ::GlobalUnlock(memory);
    return memory;
}

std::wstring DeviceNameOf(HGLOBAL devNames) { return nameAt(devNames, &DEVNAMES::wDeviceOffset); }

std::wstring OutputNameOf(HGLOBAL devNames) { return nameAt(devNames, &DEVNAMES::wOutputOffset); }

} // namespace fln::print

DWORD PrintDialogError() { return t_lastError; }

BOOL PrintDlgW(PRINTDLGW* settings)
{
    t_lastError = 0;
    if (!settings || settings->lStructSize != sizeof(PRINTDLGW))
        return fail(CDERR_STRUCTSIZE);
    PrintState state { settings, {} };
    if (!state.choice.load(settings->hDevNames, settings->hDevMode)) {
        if (!(settings->Flags & PD_NOWARNING))
            warnNoPrinter(settings->hwndOwner);
        return fail(settings->Flags & PD_RETURNDEFAULT ? PDERR_NODEFAULTPRN : PDERR_NODEVICES);
    }
    if (settings->Flags & PD_RETURNDEFAULT) {
        if (settings->hDevMode || settings->hDevNames)
            return fail(CDERR_INITIALIZATION); // only the default is asked for
        state.choice.load(nullptr, nullptr);
    } else {
        DialogTemplate dialog = printTemplate(settings->Flags);
        INT_PTR result = ::DialogBoxIndirectParamW(nullptr, dialog.get(), settings->hwndOwner, printProcedure, reinterpret_cast<LPARAM>(&state));
        if (result == -1)
            return fail(CDERR_INITIALIZATION);
        if (result != IDOK)
            return FALSE;
    }
    state.choice.store(settings->hDevNames, settings->hDevMode);
    if (settings->Flags & PD_RETURNDC) {
        settings->hDC = CreatePrinterDC(state.choice.current().name.c_str(), state.choice.output.c_str(), &state.choice.mode);
        if (!settings->hDC)
            return fail(PDERR_PRINTERNOTFOUND);
    }
    return TRUE;
}

BOOL PageSetupDlgW(PAGESETUPDLGW* settings)
{
    t_lastError = 0;
    if (!settings || settings->lStructSize != sizeof(PAGESETUPDLGW))
        return fail(CDERR_STRUCTSIZE);
    PageSetupState state { settings, {}, (settings->Flags & PSD_INTHOUSANDTHSOFINCHES) != 0 };
    if (!state.choice.load(settings->hDevNames, settings->hDevMode)) {
        if (!(settings->Flags & PSD_NOWARNING))
            warnNoPrinter(settings->hwndOwner);
        return fail(settings->Flags & PSD_RETURNDEFAULT ? PDERR_NODEFAULTPRN : PDERR_NODEVICES);
    }
    if (!(settings->Flags & PSD_INTHOUSANDTHSOFINCHES))
        settings->Flags |= PSD_INHUNDREDTHSOFMILLIMETERS;
    if (!(settings->Flags & PSD_RETURNDEFAULT)) {
        DialogTemplate dialog = pageSetupTemplate();
        INT_PTR result = ::DialogBoxIndirectParamW(nullptr, dialog.get(), settings->hwndOwner, pageSetupProcedure, reinterpret_cast<LPARAM>(&state));
        if (result == -1)
            return fail(CDERR_INITIALIZATION);
        if (result != IDOK)
            return FALSE;
    } else {
        storePaperSize(*settings, state.choice.mode, state.inches);
    }
    state.choice.store(settings->hDevNames, settings->hDevMode);
    return TRUE;
}
