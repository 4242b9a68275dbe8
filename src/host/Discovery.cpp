// AutoCAD 2000 discovery over the registry key holder.
#include "host/Discovery.h"

#include "core/ProductFilter.h"
#include "win32/CallOutcome.h"
#include "win32/Journal.h"
#include "win32/RegKey.h"

#include <algorithm>
#include <utility>

namespace kiv::host {

const char* const kHostReleaseKey = "Software\\Autodesk\\AutoCAD\\R15.0";
const char* const kAddOnRelease = "R15.4";

namespace {

std::string ProductKeyPath(const std::string& productKey) { return std::string(kHostReleaseKey) + "\\" + productKey; }

// One value of a key below HKEY_LOCAL_MACHINE; text is unchanged unless done.
Outcome ReadValue(const std::string& keyPath, const char* valueName, std::string& text) {
    RegKey key;
    std::string value;
    Outcome outcome = key.OpenForRead(HKEY_LOCAL_MACHINE, keyPath);
    if (outcome) outcome = key.ReadString(valueName, value);
    if (outcome.failed())
        outcome::Fail(outcome.error(), "Lesen von HKLM\\" + keyPath + " \"" + valueName + "\" fehlgeschlagen");
    if (outcome) text = std::move(value);
    return outcome;
}

// An empty key would name the release key itself.
Outcome ReadProductValue(const std::string& productKey, const char* valueName, std::string& text) {
    return productKey.empty() ? Outcome::Missing() : ReadValue(ProductKeyPath(productKey), valueName, text);
}

bool HasProductId(const std::string& productKey) {
    std::string id;
    return ReadProductValue(productKey, "ProductId", id) && !id.empty();
}

}  // namespace

Outcome ReadCurrentProduct(std::string& productKey) {
    std::string value;
    const Outcome outcome = ReadValue(kHostReleaseKey, "CurVer", value);
    if (!outcome) return outcome;
    if (value.empty()) return Outcome::Missing();
    productKey = std::move(value);
    return outcome;
}

Outcome SetCurrentProduct(const std::string& productKey) {
    if (productKey.empty()) return Outcome::Failed(ERROR_INVALID_PARAMETER);
    // The journal has told why it could not record the old value.
    if (!journal::BeforeValueChange(HKEY_LOCAL_MACHINE, kHostReleaseKey, "CurVer"))
        return Outcome::Failed(outcome::LastCode());
    RegKey key;
    Outcome outcome = key.OpenForWrite(HKEY_LOCAL_MACHINE, kHostReleaseKey);
    if (outcome) outcome = key.WriteString(productKey, "CurVer");
    return outcome::Tell(outcome, "Schreiben von HKLM\\" + std::string(kHostReleaseKey) + " \"CurVer\" fehlgeschlagen");
}

Outcome ListProducts(std::vector<std::string>& list, bool dash4Only) {
    std::vector<std::string> found;
    {
        RegKey key;
        Outcome outcome = key.OpenForRead(HKEY_LOCAL_MACHINE, kHostReleaseKey);
        if (outcome) outcome = key.EnumSubKeys(found);
        if (outcome.failed())
            outcome::Fail(outcome.error(), "Lesen von HKLM\\" + std::string(kHostReleaseKey) + " fehlgeschlagen");
        if (!outcome) return outcome;
    }
    found.erase(std::remove_if(found.begin(), found.end(), [](const std::string& name) { return !HasProductId(name); }),
                found.end());
    if (dash4Only) core::KeepDash4Products(found);
    list = std::move(found);
    return list.empty() ? Outcome::Missing() : Outcome::Done();
}

Outcome ReadProductName(const std::string& productKey, std::string& name) {
    return ReadProductValue(productKey, "ProductName", name);
}

Outcome ReadAcadLocation(const std::string& productKey, std::string& location) {
    return ReadProductValue(productKey, "AcadLocation", location);
}

}  // namespace kiv::host
