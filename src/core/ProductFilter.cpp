// The "-4" product filter.
#include "core/ProductFilter.h"

#include <algorithm>

namespace kiv::core {

bool IsDash4Product(const std::string& productKey) {
    std::size_t at = productKey.find("-4");
    return at != std::string::npos && at > 0;
}

void KeepDash4Products(std::vector<std::string>& list) {
    list.erase(std::remove_if(list.begin(), list.end(), [](const std::string& name) { return !IsDash4Product(name); }),
               list.end());
}

}  // namespace kiv::core
