# Checks the shipped DLL's tables: exactly the 22 undecorated exports, and
# imports only from Windows system DLLs with nothing that Windows XP lacks.
# Run as: cmake -DDLL=path -DOBJDUMP=path -P CheckShippedDll.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

set(allowed_dlls KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL COMCTL32.DLL MSVCRT.DLL)
string(REGEX MATCHALL "DLL Name: [^\n]+" dll_lines "${dump}")
foreach(line IN LISTS dll_lines)
  string(REPLACE "DLL Name: " "" name "${line}")
  string(TOUPPER "${name}" name)
  if(NOT name IN_LIST allowed_dlls)
    message(SEND_ERROR "imports from ${name}")
  endif()
endforeach()

set(not_on_xp GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive InitializeConditionVariable
    InitOnceExecuteOnce InitOnceBeginInitialize FlsAlloc FlsSetValue GetFileInformationByHandleEx
    CreateSymbolicLinkA GetFinalPathNameByHandleA)
foreach(function IN LISTS not_on_xp)
  if(dump MATCHES "[ \t]${function}\n")
    message(SEND_ERROR "imports ${function}, which Windows XP lacks")
  endif()
endforeach()

set(exports CreateUpdateManager CreateUpdateManagerATP DeleteOldAppsReg DeleteOldFiles KivExistFile
    KivGetMainAcadData KivGetUserName KivIsWithinTablet KivRegProgDestroy KivRegProgSetCurrName
    KivRegProgSetCurrPos KivShowTargeDir KivStartRegProgress SaveAfterFilesCopy SaveBeforeFilesCopy
    SetBlocksSubDir SetNewManagerDir SetNewProgramDir SetOldManagerDir SetOldProgramDir
    SetToDeleteAfterSave ShowTerviloUserName)
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
string(SUBSTRING "${dump}" ${start} -1 export_block)
string(FIND "${export_block}" "\n\n" stop)
string(SUBSTRING "${export_block}" 0 ${stop} export_block)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_@0-9]+" export_lines "${export_block}")
set(found "")
foreach(line IN LISTS export_lines)
  string(REGEX REPLACE "\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND found ${name})
endforeach()
list(SORT found)
set(expected ${exports})
list(SORT expected)
if(NOT found STREQUAL expected)
  message(SEND_ERROR "exports differ:\n  found    ${found}\n  expected ${expected}")
endif()
