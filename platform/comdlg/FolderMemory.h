#pragma once
// The folder each file dialog showed last, kept in the settings under the program's key, one
// value per dialog title.

#include <string>

namespace fln::comdlg {

std::wstring RememberedFolder(const std::wstring& dialogTitle);
void RememberFolder(const std::wstring& dialogTitle, const std::wstring& folder);

} // namespace fln::comdlg
