# Setup dialogs: page base, pages, progress window.
list(APPEND KIV_LAYER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProductSelectionPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResponseFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TabletMenuPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TargetFolderPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UserNamePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowPlacement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WizardPage.cpp)
