# The release zip of the tree that builds the DLL: what a setup author needs, as it comes.
# `cmake --build . --target package` makes it; tests/CheckPackage.cmake checks it.
find_program(KIV_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
set(kiv_release ${PROJECT_BINARY_DIR}/release)

# The .def made from the header exports each plain name from its decorated symbol (KivExistFile=KivExistFile@4).
# A caller's compiler asks for _KivExistFile@4, so the import libraries list the decorated
# symbols, and --kill-at has them import the plain names the DLL exports.
file(READ ${KIV_EXPORTS_DIR}/KivForIS55.def kiv_def_text)
string(REGEX REPLACE "\n( +)[A-Za-z0-9_]+=" "\n\\1" kiv_import_def_text "${kiv_def_text}")
set(kiv_import_def ${kiv_release}/KivForIS55-import.def)
file(GENERATE OUTPUT ${kiv_import_def} CONTENT "${kiv_import_def_text}")

add_custom_command(OUTPUT ${kiv_release}/KivForIS55.lib
  COMMAND ${KIV_LLVM_DLLTOOL} -m i386 --kill-at -d ${kiv_import_def} -l ${kiv_release}/KivForIS55.lib
  DEPENDS ${kiv_import_def} VERBATIM)
add_custom_command(OUTPUT ${kiv_release}/KivForIS55.dll.a
  COMMAND ${CMAKE_DLLTOOL} --kill-at -d ${kiv_import_def} -l ${kiv_release}/KivForIS55.dll.a
  DEPENDS ${kiv_import_def} VERBATIM)

# Shipped stripped; the build tree keeps its symbols for debugging. -p keeps the link's time
# stamp in the PE header, which strip would otherwise set to the time of stripping.
set(kiv_stripped ${kiv_release}/KivForIS55.dll ${kiv_release}/kivhost.exe)
foreach(stripped IN LISTS kiv_stripped)
  get_filename_component(target ${stripped} NAME_WLE)
  add_custom_command(OUTPUT ${stripped} COMMAND ${CMAKE_STRIP} -p -o ${stripped} $<TARGET_FILE:${target}>
    DEPENDS ${target} VERBATIM)
endforeach()
set(kiv_import_libraries ${kiv_release}/KivForIS55.lib ${kiv_release}/KivForIS55.dll.a)
add_custom_target(kiv_release_files ALL DEPENDS ${kiv_stripped} ${kiv_import_libraries})

# Text files go out with CR LF line ends, which the editors of a setup author's Windows need.
# Each pair: the source, and its path in the zip.
file(GLOB kiv_sample_scripts CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/installscript/*.rul)
set(kiv_text_files docs/README-setup.md README.md  docs/CHANGES.md CHANGES.md  tools/kivhost/README.md README-kivhost.md
    include/KivForIS55.h include/KivForIS55.h  installscript/KivForIS55.h installscript/KivForIS55.h
    examples/README.md examples/README.md  examples/upgrade.kiv examples/upgrade.kiv)
foreach(script IN LISTS kiv_sample_scripts)
  list(APPEND kiv_text_files ${script} ${script})
endforeach()
list(LENGTH kiv_text_files kiv_text_count)
math(EXPR kiv_text_last "${kiv_text_count} - 1")
foreach(at RANGE 0 ${kiv_text_last} 2)
  math(EXPR next "${at} + 1")
  list(GET kiv_text_files ${at} source)
  list(GET kiv_text_files ${next} packed)
  get_filename_component(folder ${packed} DIRECTORY)
  # Made when the build is configured: an edited source has it configured again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${source})
  file(GENERATE OUTPUT ${kiv_release}/text/${packed} INPUT ${PROJECT_SOURCE_DIR}/${source} NEWLINE_STYLE CRLF)
  install(FILES ${kiv_release}/text/${packed} DESTINATION ./${folder})
endforeach()

install(PROGRAMS ${kiv_stripped} DESTINATION .)
install(FILES ${KIV_LINK_MAP} DESTINATION .)
install(FILES ${kiv_import_libraries} DESTINATION lib)
# The sample is shipped as made; the script that makes it reads the library's sources, which are not.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples
  PATTERN README.md EXCLUDE PATTERN upgrade.kiv EXCLUDE PATTERN make_sample.py EXCLUDE)
file(GLOB kiv_screenshots CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES ${kiv_screenshots} DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_VENDOR Dorvasys)
set(CPACK_PACKAGE_FILE_NAME ${KIV_PACKAGE_FILE_NAME})
include(CPack)
