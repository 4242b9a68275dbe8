// kivhost --undo and --commit: finish the undo journal that a crashed setup left.
#pragma once

#include "Options.h"

#include <string>

namespace kivhost {

// Adopts the journal in options.journal through the DLL at dllPath and undoes or
// commits it; the exit status: done when the journal is finished.
int FinishJournal(const Options& options, const std::string& dllPath);

}  // namespace kivhost
