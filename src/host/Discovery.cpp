// AutoCAD 2000 discovery over the registry key holder.
#include "host/Discovery.h"

#include "core/ProductFilter.h"
#include "win32/RegKey.h"

#include <algorithm>

namespace kiv::host {

const char* const kHostReleaseKey = "Software\\Autodesk\\AutoCAD\\R15.0";
const char* const kAddOnRelease = "R15.4";

namespace {

std::string ProductKeyPath(const std::string& productKey) { return std::string(kHostReleaseKey) + "\\" + productKey; }

bool HasProductId(const std::string& productKey) {
    RegKey key;
    std::string id;
    return key.OpenForRead(HKEY_LOCAL_MACHINE, ProductKeyPath(productKey).c_str()) && key.ReadString("ProductId", id) &&
           !id.empty();
}

}  // namespace

bool ReadCurrentProduct(std::string& productKey) {
    RegKey key;
    if (!key.OpenForRead(HKEY_LOCAL_MACHINE, kHostReleaseKey)) return false;
    std::string value;
    if (key.ReadString("CurVer", value)) productKey = value;
    return !productKey.empty();
}

bool SetCurrentProduct(const std::string& productKey) {
    if (productKey.empty()) return false;
    RegKey key;
    return key.OpenForWrite(HKEY_LOCAL_MACHINE, kHostReleaseKey) && key.WriteString(productKey, "CurVer");
}

bool ListProducts(std::vector<std::string>& list, bool dash4Only) {
    {
        RegKey key;
        if (!key.OpenForRead(HKEY_LOCAL_MACHINE, kHostReleaseKey)) return false;
        if (!key.EnumSubKeys(list)) return false;
    }
    list.erase(std::remove_if(list.begin(), list.end(), [](const std::string& name) { return !HasProductId(name); }),
               list.end());
    if (dash4Only) KeepDash4Products(list);
    return !list.empty();
}

bool ReadProductName(const std::string& productKey, std::string& name) {
    if (productKey.empty()) return false;
    RegKey key;
    std::string value;
    if (!key.OpenForRead(HKEY_LOCAL_MACHINE, ProductKeyPath(productKey).c_str()) ||
        !key.ReadString("ProductName", value))
        return false;
    name = value;
    return true;
}

std::string ReadAcadLocation(const std::string& productKey) {
    RegKey key;
    std::string location;
    if (productKey.empty() || !key.OpenForRead(HKEY_LOCAL_MACHINE, ProductKeyPath(productKey).c_str()) ||
        !key.ReadString("AcadLocation", location))
        return std::string();
    return location;
}

}  // namespace kiv::host
