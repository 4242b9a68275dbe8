// KivGetMainAcadData: list the AutoCAD 2000 products, let the user pick one when
// there are several, make it current and hand back its key and folder.
#include "host/ProductSelection.h"

#include "dialogs/ProductSelectionPage.h"
#include "frame/OutputBuffer.h"
#include "host/Discovery.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kiv::host {

namespace {

struct NamedProduct {
    std::string key;
    std::string name;
};

// Products whose name can be read, in product-list order.
std::vector<NamedProduct> NameProducts(const std::vector<std::string>& products) {
    std::vector<NamedProduct> named;
    for (const std::string& key : products) {
        std::string name;
        if (ReadProductName(key, name)) named.push_back(NamedProduct{key, std::move(name)});
    }
    return named;
}

std::string ChooseName(HWND parentWindow, std::size_t productCount, const std::vector<NamedProduct>& named,
                       int altPage) {
    if (productCount == 1) return named.empty() ? std::string() : named.front().name;
    std::vector<std::string> names;
    for (const NamedProduct& product : named) names.push_back(product.name);
    dialogs::ProductSelectionPage page(parentWindow, altPage != 0, std::move(names));
    page.Run();
    return page.SelectedName();
}

}  // namespace

void GetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, int altPage, int dash4Only) {
    std::vector<std::string> products;
    if (!ListProducts(products, dash4Only)) return;
    const std::vector<NamedProduct> named = NameProducts(products);

    const std::string chosen = ChooseName(parentWindow, products.size(), named, altPage);
    if (chosen.empty()) return;
    // Equal names resolve to the earlier product, whichever entry was picked.
    auto match = std::find_if(named.begin(), named.end(),
                              [&](const NamedProduct& product) { return product.name == chosen; });
    if (match == named.end()) return;

    WriteOutput(productKeyBuffer, match->key);
    SetCurrentProduct(match->key);
    // The folder of the product "CurVer" names now, without the "\Acad.Exe" appended to it.
    std::string exePath = GetAcadExePath();
    if (exePath.empty()) return;
    WriteOutput(folderBuffer, exePath.substr(0, exePath.rfind('\\')));
}

}  // namespace kiv::host
