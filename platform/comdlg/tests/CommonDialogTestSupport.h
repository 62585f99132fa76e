#pragma once
// A fixture that answers the common dialogs' modal loops with scripted steps: each time a loop
// waits, the next step runs on the window it waits for (the dialog or one of its message boxes).

#include "FileSystemFixture.h"

#include "platform/comctl/tests/ComctlTestSupport.h"
#include "platform/comdlg/CommDlg.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <deque>
#include <functional>
#include <optional>

class CommonDialogTest : public CommonControlTest {
protected:
    using Step = std::function<void(HWND)>;

    void SetUp() override
    {
        CommonControlTest::SetUp();
        tree.Folder("home");
        home.emplace("HOME", WideToUtf8(tree.Path("home")));
    }

    void TearDown() override
    {
        steps.clear();
        CommonControlTest::TearDown();
    }

    // Runs the steps as the modal loops wait. A loop still waiting when none is left is a fault:
    // it is cancelled, so that the test ends.
    void Script(std::vector<Step> script)
    {
        steps.assign(script.begin(), script.end());
        SetModalLoopHook([this](HWND window) {
            // A step that only looks runs on with the next one: the loop waits for input.
            while (!steps.empty()) {
                Step step = std::move(steps.front());
                steps.pop_front();
                step(window);
                if (GetQueueStatus(QS_ALLINPUT) || !IsWindowVisible(window))
                    return;
            }
            ADD_FAILURE() << "a modal loop waits with no step left, in \"" << WideToUtf8(WindowText(window)) << "\": " << WideToUtf8(WindowText(GetDlgItem(window, 0xFFFF)));
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
    }

    // Keys typed into the focused control: each character with its key.
    Step Type(std::wstring text)
    {
        return [this, text](HWND) {
            for (wchar_t c : text) {
                unsigned key = c == L'.' ? VK_OEM_PERIOD : c == L'/' ? VK_OEM_2 : c == L'~' ? VK_OEM_3 : static_cast<unsigned>(std::towupper(c));
                headless->InjectKey(key, true, std::wstring(1, c));
                headless->InjectKey(key, false);
            }
        };
    }

    Step Press(unsigned key, std::initializer_list<unsigned> modifiers = {}, std::wstring text = {})
    {
        return [this, key, modifiers = std::vector<unsigned>(modifiers), text](HWND) {
            for (unsigned modifier : modifiers)
                headless->InjectKey(modifier, true);
            headless->InjectKey(key, true, text);
            headless->InjectKey(key, false);
            for (unsigned modifier : modifiers)
                headless->InjectKey(modifier, false);
        };
    }

    // A click in the middle of a control of the dialog.
    Step ClickOn(int id)
    {
        return [this, id](HWND dialog) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, id), &r);
            POINT centre { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
            headless->InjectMouseMove(centre);
            headless->InjectButton(1, true, centre);
            headless->InjectButton(1, false, centre);
        };
    }

    // A dialog's client area against tests/data/<name>, pixel by pixel, leaving out the text areas,
    // whose glyphs may differ between machines: those with dark text must hold some ink, those
    // with disabled (grey) text are only left out. FLN_WRITE_EXPECTED=1 writes the picture instead.
    ::testing::AssertionResult DialogLooksLike(HWND dialog, const std::string& name, const std::vector<RECT>& textAreas, const std::vector<RECT>& greyTextAreas = {})
    {
        Pump();
        std::string path = std::string(FLN_TEST_DATA_DIR) + "/" + name;
        RECT client = ClientRect(dialog);
        HDC dc = GetDC(dialog);
        const char* write = std::getenv("FLN_WRITE_EXPECTED");
        bool writing = write && std::string(write) == "1";
        cairo_surface_t* picture = writing ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, client.right, client.bottom)
                                           : cairo_image_surface_create_from_png(path.c_str());
        bool sizeMatches = cairo_surface_status(picture) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_width(picture) == client.right
            && cairo_image_surface_get_height(picture) == client.bottom;
        auto inside = [](const std::vector<RECT>& areas, POINT p) {
            return std::any_of(areas.begin(), areas.end(), [&](const RECT& area) { return PtInRect(&area, p); });
        };
        int differences = 0;
        std::string first;
        cairo_surface_flush(picture);
        auto* data = cairo_image_surface_get_data(picture);
        int stride = cairo_image_surface_get_stride(picture);
        for (int y = 0; sizeMatches && y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) {
                auto& pixel = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
                COLORREF got = GetPixel(dc, x, y);
                if (writing) {
                    pixel = (GetRValue(got) << 16) | (GetGValue(got) << 8) | GetBValue(got);
                    continue;
                }
                if (inside(textAreas, { x, y }) || inside(greyTextAreas, { x, y }))
                    continue;
                if (got != RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF) && differences++ == 0)
                    first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        std::string inkless;
        for (const RECT& area : textAreas)
            if (!writing && !HasInk(dc, area))
                inkless += " [" + std::to_string(area.left) + "," + std::to_string(area.top) + "]";
        ReleaseDC(dialog, dc);
        if (writing) {
            cairo_surface_mark_dirty(picture);
            cairo_surface_write_to_png(picture, path.c_str());
        }
        cairo_surface_destroy(picture);
        if (!sizeMatches)
            return ::testing::AssertionFailure() << "cannot read " << path << " of the dialog's size";
        if (differences || !inkless.empty())
            return ::testing::AssertionFailure() << name << ": " << differences << " pixels differ, " << first << (inkless.empty() ? "" : "; no text in" + inkless);
        return ::testing::AssertionSuccess();
    }

    // A step that only looks at the window.
    static Step Check(std::function<void(HWND)> check) { return check; }

    static std::wstring WindowText(HWND window)
    {
        wchar_t text[512] {};
        GetWindowTextW(window, text, 512);
        return text;
    }

    TempTree tree;
    TempSettingsFolder settings;
    std::optional<ScopedEnv> home;
    std::deque<Step> steps;
};
