// KivGetMainAcadData: list the AutoCAD 2000 products, let the user pick one when
// there are several, make it current and hand back its key and folder.
#include "host/ProductSelection.h"

#include "core/OutputBuffer.h"
#include "dialogs/ProductSelectionPage.h"
#include "host/Discovery.h"
#include "win32/CallOutcome.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kiv::host {

namespace {

void TellNoProduct() { outcome::NotFound("Kein AutoCAD 2000 Produkt unter HKLM\\" + std::string(kHostReleaseKey)); }

// A text too long for the script's buffer is not written, and told.
void Hand(char* buffer, const std::string& text, const char* what) {
    if (buffer != nullptr && !WriteOutput(buffer, text))
        outcome::Fail(ERROR_INSUFFICIENT_BUFFER, std::string(what) + " zu lang: " + text);
}

// Products whose name can be read, in product-list order.
std::vector<dialogs::ProductEntry> NameProducts(const std::vector<std::string>& products) {
    std::vector<dialogs::ProductEntry> named;
    for (const std::string& key : products) {
        std::string name;
        if (ReadProductName(key, name)) named.push_back(dialogs::ProductEntry{key, std::move(name)});
    }
    return named;
}

// The chosen entry of named; none when nothing was chosen.
std::optional<std::size_t> ChooseProduct(HWND parentWindow, std::size_t productCount,
                                         const std::vector<dialogs::ProductEntry>& named, bool dorvaAtPage) {
    if (productCount == 1) return named.empty() ? std::nullopt : std::optional<std::size_t>(0);
    dialogs::ProductSelectionPage page(parentWindow, dorvaAtPage, named);
    page.Run();
    return page.Selected();
}

}  // namespace

void GetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, bool dorvaAtPage, bool dash4Only) {
    std::vector<std::string> products;
    const Outcome listed = ListProducts(products, dash4Only);
    if (listed.missing()) TellNoProduct();
    if (!listed) return;
    const std::vector<dialogs::ProductEntry> named = NameProducts(products);

    // A page that was cancelled or not created has told so already, and only the first is kept.
    const std::optional<std::size_t> chosen = ChooseProduct(parentWindow, products.size(), named, dorvaAtPage);
    if (!chosen || named[*chosen].name.empty()) {
        TellNoProduct();
        return;
    }
    const std::string& productKey = named[*chosen].key;

    Hand(productKeyBuffer, productKey, "Produktschluessel");
    // Told when it fails; the folder handed back is the chosen product's all the same.
    (void)SetCurrentProduct(productKey);
    // From the chosen key itself: when "CurVer" cannot be written it still names another product.
    std::string folder;
    Outcome located = ReadAcadLocation(productKey, folder);
    if (located && folder.empty()) located = Outcome::Missing();
    if (outcome::Tell(located, "Kein AutoCAD-Ordner unter HKLM\\" + std::string(kHostReleaseKey) + "\\" + productKey +
                                   " \"AcadLocation\""))
        Hand(folderBuffer, folder, "AutoCAD-Ordner");
}

}  // namespace kiv::host
