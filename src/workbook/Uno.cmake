# The LibreOffice server over UNO: built when the office's SDK is found (PLOXEN_UNO=AUTO),
# required (ON) or left out (OFF). Only the workbook/Uno*.cpp files see the SDK: its headers are
# generated here by cppumaker for the types those files use, and its definitions and include
# folders are set on those source files (UnoTarget.cmake).
set(PLOXEN_UNO AUTO CACHE STRING "Build the LibreOffice server over UNO: AUTO, ON or OFF")
set_property(CACHE PLOXEN_UNO PROPERTY STRINGS AUTO ON OFF)
set(PLOXEN_LO_ROOT "/usr/lib/libreoffice" CACHE PATH "LibreOffice installation root")

set(PLOXEN_WITH_UNO OFF)
if(NOT PLOXEN_UNO STREQUAL "OFF")
  find_program(UNO_CPPUMAKER cppumaker HINTS "${PLOXEN_LO_ROOT}/sdk/bin" NO_DEFAULT_PATH)
  find_file(UNO_TYPES_RDB types.rdb HINTS "${PLOXEN_LO_ROOT}/program" NO_DEFAULT_PATH)
  find_file(UNO_OFFAPI_RDB offapi.rdb HINTS "${PLOXEN_LO_ROOT}/program/types" NO_DEFAULT_PATH)
  find_path(UNO_SDK_INCLUDE_DIR sal/config.h
            HINTS "${PLOXEN_LO_ROOT}/sdk/include" /usr/include/libreoffice)
  set(_uno_missing "")
  foreach(item UNO_CPPUMAKER UNO_TYPES_RDB UNO_OFFAPI_RDB UNO_SDK_INCLUDE_DIR)
    if(NOT ${item})
      list(APPEND _uno_missing ${item})
    endif()
  endforeach()
  foreach(lib uno_cppu uno_sal uno_cppuhelpergcc3)
    find_library(UNO_LIB_${lib} ${lib} HINTS "${PLOXEN_LO_ROOT}/sdk/lib" NO_DEFAULT_PATH)
    if(NOT UNO_LIB_${lib})
      list(APPEND _uno_missing ${lib})
    endif()
  endforeach()
  if(_uno_missing)
    if(PLOXEN_UNO STREQUAL "ON")
      message(FATAL_ERROR "PLOXEN_UNO=ON but the LibreOffice SDK is incomplete (missing: "
                          "${_uno_missing}); install libreoffice-dev")
    endif()
    message(STATUS "LibreOffice SDK not found (${_uno_missing}): the UNO server is not built")
  else()
    set(PLOXEN_WITH_UNO ON)
  endif()
endif()

set(PLOXEN_WITH_UNO ${PLOXEN_WITH_UNO} CACHE INTERNAL "The UNO server is built")
