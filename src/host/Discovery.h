// AutoCAD 2000 discovery: the installed products, their names and folders,
// and AutoCAD's current product, all below HKEY_LOCAL_MACHINE. A missing key
// or value is an answer; any other failure is also told for KivGetLastError.
#pragma once

#include "win32/Outcome.h"

#include <string>
#include <vector>

namespace kiv::host {

extern const char* const kHostReleaseKey;  // "Software\\Autodesk\\AutoCAD\\R15.0"
extern const char* const kAddOnRelease;    // "R15.4"

// productKey receives "CurVer"; missing when no product is recorded there (no
// release key, no value or an empty one).
Outcome ReadCurrentProduct(std::string& productKey);
// Writes "CurVer", creating the release key; an empty key is refused, nothing written.
Outcome SetCurrentProduct(const std::string& productKey);
// Product keys with a non-empty "ProductId", in enumeration order; with
// dash4Only only those whose first "-4" stands after their first character.
// Missing when none qualifies; list is left alone when the release key cannot be read.
Outcome ListProducts(std::vector<std::string>& list, bool dash4Only);
// "ProductName" of a product key (may be empty); name is unchanged unless done.
Outcome ReadProductName(const std::string& productKey, std::string& name);
// "AcadLocation" of a product key as stored (a trailing backslash stays); location
// is unchanged unless done.
Outcome ReadAcadLocation(const std::string& productKey, std::string& location);

}  // namespace kiv::host
