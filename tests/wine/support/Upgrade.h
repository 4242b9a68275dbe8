// A machine for whole-upgrade tests: AutoCAD 2000 with two products, an older add-on release and the new one.
#pragma once

#include <map>
#include <string>

namespace kivtest {

using Tree = std::map<std::string, std::string>;

// Files below a root: Acad with its menus, the old release (Alt, AltManager), the
// new one before the setup's copy (Neu, NeuManager) with old-layout leftovers.
Tree UpgradeFiles();
// What the setup's own copy adds, some of it over files that the save removed.
Tree SetupCopy();
// AutoCAD's key with ACAD-1:407 current and the map product ACAD-4001:407 at
// acadFolder, the old modules below its "Applications", and the add-on's keys.
void RegisterUpgradeMachine(const std::string& acadFolder);
// The two keys the library changes, whole.
Tree RegistryState();
// Every file of before is there with its bytes; anything else is in a save
// folder made since, or one of kept with its bytes.
void ExpectFilesAsBefore(const Tree& before, const Tree& now, const Tree& kept = Tree());

}  // namespace kivtest
