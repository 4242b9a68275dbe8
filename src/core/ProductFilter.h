// Filtering of AutoCAD product key names by text alone (no Windows API).
#pragma once

#include <string>
#include <vector>

namespace kiv::core {

// True when the first "-4" in the key name stands after its first character.
bool IsDash4Product(const std::string& productKey);

// Removes the names that are not dash-4 products, keeping the order of the rest.
void KeepDash4Products(std::vector<std::string>& list);

}  // namespace kiv::core
