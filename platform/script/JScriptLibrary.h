#pragma once
// The parts of the language's library the embedded interpreter lacks, installed into a new
// interpreter: the engine-information functions, VBArray and Enumerator over automation values,
// the String HTML methods, parseInt that reads a leading zero as octal, and RegExp.leftContext
// and RegExp.rightContext. They are written in script over two hidden helpers of the bridge.

#include <string_view>

struct duk_hthread;
using duk_context = duk_hthread;

namespace jscript {

// __flnSafeArrayData(value): {lbounds, ubounds, items} of a safe array, the items with the first
// index varying fastest; a TypeError for any other value.
inline constexpr std::wstring_view kSafeArrayDataName = L"__flnSafeArrayData";
// __flnCollectionItems(object): the items the object's enumerator gives, as an array.
inline constexpr std::wstring_view kCollectionItemsName = L"__flnCollectionItems";

// Needs the bridge's helpers in place.
void InstallLibrary(duk_context* context);

} // namespace jscript
