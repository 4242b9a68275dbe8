# Checks the shipped DLL's tables: exactly the exports of the public header, undecorated, and
# imports only from Windows system DLLs with nothing that Windows 2000 lacks.
# Run as: cmake -DDLL=path -DOBJDUMP=path -DHEADER=KivForIS55.h -P CheckShippedDll.cmake
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/ExportTable.cmake)
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

function(forbid reason)
  foreach(function IN LISTS ARGN)
    if(dump MATCHES "[ \t]${function}\n")
      message(SEND_ERROR "imports ${function}, ${reason}")
    endif()
  endforeach()
endfunction()

# kernel32 and user32 of Windows XP and later, and the msvcrt.dll of Visual C++ 7 and later.
forbid("which Windows 2000 lacks"
  GetModuleHandleExA GetModuleHandleExW GetNativeSystemInfo AddVectoredExceptionHandler
  RemoveVectoredExceptionHandler InitializeSListHead InterlockedPushEntrySList InterlockedPopEntrySList
  InterlockedFlushSList SetDllDirectoryA SetDllDirectoryW GetProcessId IsWow64Process AttachConsole
  GetLogicalProcessorInformation WTSGetActiveConsoleSessionId
  GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared InitializeConditionVariable
  SleepConditionVariableCS InitOnceExecuteOnce InitOnceBeginInitialize FlsAlloc FlsGetValue FlsSetValue
  SetThreadStackGuarantee GetFileInformationByHandleEx CreateSymbolicLinkA GetFinalPathNameByHandleA
  GetFinalPathNameByHandleW GetSystemTimePreciseAsFileTime LocaleNameToLCID
  PrintWindow GetLayeredWindowAttributes RegisterRawInputDevices SetProcessDPIAware
  _time64 _localtime64 _gmtime64 _mktime64 _ftelli64 _fseeki64 _aligned_malloc _aligned_free _vscprintf
  _strtoi64 _strtoui64 ___lc_codepage_func ___mb_cur_max_func _get_output_format _create_locale _free_locale)
# Windows 2000 has them, Windows NT 4.0 does not: the library looks them up at run time.
forbid("which Windows NT 4.0 lacks (look it up at run time)"
  MonitorFromWindow MonitorFromPoint MonitorFromRect GetMonitorInfoA GetMonitorInfoW EnumDisplayMonitors)
forbid("a 32-bit C runtime time function, which fails after January 2038"
  time _time32 _mktime32 _localtime32 _gmtime32 localtime gmtime mktime)

kiv_read_exports(${HEADER} exports unused_sizes)
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
if(NOT found STREQUAL exports)
  message(SEND_ERROR "exports differ:\n  found    ${found}\n  expected ${exports}")
endif()
