// AutoCAD 2000 discovery: the installed products, their names and folders,
// and AutoCAD's current product, all below HKEY_LOCAL_MACHINE.
#pragma once

#include <string>
#include <vector>

namespace kiv::host {

extern const char* const kHostReleaseKey;  // "Software\\Autodesk\\AutoCAD\\R15.0"
extern const char* const kAddOnRelease;    // "R15.4"

// productKey receives "CurVer" when it can be read; true when it is not empty.
bool ReadCurrentProduct(std::string& productKey);
// Writes "CurVer"; false (nothing written) for an empty key.
bool SetCurrentProduct(const std::string& productKey);
// Product keys with a non-empty "ProductId", in enumeration order; with
// dash4Only only those whose first "-4" stands after their first character.
bool ListProducts(std::vector<std::string>& list, bool dash4Only);
// "ProductName" of a product key (may be empty); name is unchanged on failure.
bool ReadProductName(const std::string& productKey, std::string& name);
// "AcadLocation" of a product key as stored (a trailing backslash stays); empty
// when it cannot be read.
std::string ReadAcadLocation(const std::string& productKey);

}  // namespace kiv::host
