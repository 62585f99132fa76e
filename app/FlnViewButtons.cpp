// The page's picture keys and drop-down buttons, taken over from the form by the toolkit buttons.

#include "app/FlnView.h"

#include "res/FormulaPage.h"

namespace {

struct PictureKey {
    UINT id;
    UINT bitmap;
};
constexpr PictureKey PictureKeys[] = {
    { IDC_KEY_PI, IDB_KEY_PI }, { IDC_KEY_E, IDB_KEY_E }, { IDC_KEY_ROOT, IDB_KEY_ROOT },
    { IDC_COPY_OUTPUT, IDB_COPY_OUTPUT },
};

// The buttons that drop the physical constants down, in the order they are attached.
constexpr UINT ConstantButtons[] = { IDC_PHYS_SELECT, IDC_PHYS_TO_A, IDC_PHYS_TO_B, IDC_PHYS_TO_C, IDC_PHYS_TO_D,
    IDC_PHYS_TO_E, IDC_PHYS_TO_F, IDC_PHYS_TO_G };

} // namespace

void CFlnView::AttachToolkitButtons()
{
    using namespace divuzura::foundation;
    m_menuPhysConst.LoadMenu(IDR_PHYSICAL_CONSTANTS);
    for (size_t i = 0; i < std::size(ConstantButtons); ++i) {
        m_constantButtons[i].AttachButton(ConstantButtons[i], this, FirstSubmenuOf(IDR_PHYSICAL_CONSTANTS));
        m_constantButtons[i].SetOption(1);
    }
    m_menuNumberFormat.LoadMenu(IDR_NUMBER_FORMAT);
    m_numberFormatButton.AttachButton(IDC_NUMBER_FORMAT, this, FirstSubmenuOf(IDR_NUMBER_FORMAT));
    m_numberFormatButton.SetOption(1);
    for (size_t i = 0; i < std::size(PictureKeys); ++i) {
        m_pictureKeys[i].AttachButton(PictureKeys[i].id, SEC_IMAGE_ONLY, PictureKeys[i].bitmap, this, 0);
        m_pictureKeys[i].SetOption(1);
    }
}
