#include "engine/PhysConst.h"

#include "platform/base/Exceptions.h"

#include <array>
#include <string_view>

namespace {

struct PhysicalConstant {
    std::wstring_view name;  // a literal: ends in a null character
    double value;
};

// Longest names first; see the header.
constexpr std::array<PhysicalConstant, CPhysConst::ConstantCount> kConstants { {
    { L"_LAMBDA_BAR_e", 3.86159323e-13 },
    { L"_SIGMA_0_BARN", 0.66524616 },
    { L"_SIN2_THETA_W", 0.23192 },
    { L"_h_BAR_MeVs", 6.582122e-22 },
    { L"_MU_B_MeV_T", 5.78838263e-11 },
    { L"_LAMBDA_1EV", 1.23984244e-6 },
    { L"_MU_N_MeV_T", 3.15245166e-14 },
    { L"_R_INF_EV", 13.6056981 },
    { L"_SIGMA_SB", 5.67051e-8 },
    { L"_LAMBDAT", 0.002897756 },
    { L"_m_D_MeV", 1875.61339 },
    { L"_m_e_MeV", 0.51099906 },
    { L"_m_P_MeV", 938.27231 },
    { L"_m_P_M_E", 1836.152701 },
    { L"_V_MOLAR", 0.0224141 },
    { L"_hBARc2", 0.38937966 },
    { L"_K_B_EV", 8.617385e-5 },
    { L"_m_e_kg", 9.1093897e-31 },
    { L"_m_P_kg", 1.6726231e-27 },
    // The fine-structure constant, of the same adjustment as the rest of the table (1/137.0359895).
    { L"_Alpha", 7.29735308e-3 },
    { L"_EPS_0", 8.854187817e-12 },
    { L"_e_ESU", 4.8032068e-10 },
    { L"_E_M_e", 1.75881962e11 },
    { L"_E_M_P", 95788309.0 },
    { L"_h_BAR", 1.05457266e-34 },
    { L"_hBARc", 197.327053 },
    { L"_m_P_u", 1.00727647 },
    { L"_u_MeV", 931.49432 },
    { L"_G_SI", 6.67259e-11 },
    { L"_M_Z0", 91.187 },
    { L"_MU_0", 1.2566370614e-6 },
    { L"_u_kg", 1.6605402e-27 },
    { L"_a_0", 5.29177249e-11 },
    { L"_e_C", 1.60217733e-19 },
    { L"_G_F", 1.16639e-5 },
    { L"_G_P", 6.70711e-39 },
    { L"_G_S", 0.117 },
    { L"_K_B", 1.380658e-23 },
    { L"_M_W", 80.22 },
    { L"_N_A", 6.0221367e23 },
    { L"_r_e", 2.81794092e-15 },
    { L"_c", 299792458.0 },
    { L"_h", 6.6260755e-34 },
    { L"_g", 9.80665 },
} };

static_assert([] {
    for (const PhysicalConstant& constant : kConstants) {
        if (constant.name.size() > CPhysConst::MaxNameLength)
            return false;
    }
    return true;
}(), "a constant's name is longer than MaxNameLength");

// Names are plain ASCII, so case is folded on ASCII letters only.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'a' && x <= L'z') x -= L'a' - L'A';
        if (y >= L'a' && y <= L'z') y -= L'a' - L'A';
        if (x != y)
            return false;
    }
    return true;
}

const PhysicalConstant* FindConstant(const CString& name)
{
    for (const PhysicalConstant& constant : kConstants) {
        if (EqualsNoCase(constant.name, name.view()))
            return &constant;
    }
    return nullptr;
}

} // namespace

CPhysConst::CPhysConst()
{
    m_names.Add(L"");
    for (const PhysicalConstant& constant : kConstants)
        m_names.Add(constant.name.data());
    m_names.Add(EndMarker);
}

CString CPhysConst::GetName(CString* out, int index) const
{
    if (index < 0 || index > EndMarkerIndex)
        AfxThrowInvalidArgException();
    *out = m_names[index];
    return *out;
}

int CPhysConst::IsConstName(const CString& name) const
{
    return FindConstant(name) ? 1 : 0;
}

double CPhysConst::GetValue(const CString& name) const
{
    const PhysicalConstant* constant = FindConstant(name);
    return constant ? constant->value : 0.0;
}
