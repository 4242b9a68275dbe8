// AutoCAD product choice (not yet built).
#include "host/ProductSelection.h"

namespace kiv::host {

void GetMainAcadData(HWND, char*, char*, int, int) {}

}  // namespace kiv::host
