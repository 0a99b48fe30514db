# Adds the UNO server (workbook/Uno*.cpp) to ploxen_workbook with the generated UNO headers
# (see Uno.cmake).
set(UNO_TYPES
  com.sun.star.uno.XComponentContext com.sun.star.uno.DeploymentException
  com.sun.star.uno.XWeak com.sun.star.uno.XAggregation com.sun.star.lang.XTypeProvider
  com.sun.star.uno.RuntimeException com.sun.star.lang.DisposedException
  com.sun.star.lang.IllegalArgumentException com.sun.star.lang.IndexOutOfBoundsException
  com.sun.star.lang.WrappedTargetException com.sun.star.lang.XComponent
  com.sun.star.lang.XServiceInfo com.sun.star.lang.XMultiServiceFactory
  com.sun.star.lang.XEventListener
  com.sun.star.connection.Connector com.sun.star.connection.XConnection
  com.sun.star.connection.NoConnectException
  com.sun.star.connection.ConnectionSetupException
  com.sun.star.bridge.BridgeFactory com.sun.star.bridge.XBridge com.sun.star.bridge.XInstanceProvider
  com.sun.star.io.IOException
  com.sun.star.container.NoSuchElementException com.sun.star.container.ElementExistException
  com.sun.star.container.XEnumerationAccess com.sun.star.container.XIndexAccess
  com.sun.star.container.XNameAccess com.sun.star.container.XNamed
  com.sun.star.configuration.theDefaultProvider com.sun.star.beans.NamedValue
  com.sun.star.beans.PropertyValue com.sun.star.beans.XPropertySet
  com.sun.star.frame.Desktop com.sun.star.frame.XDesktop2 com.sun.star.frame.XComponentLoader
  com.sun.star.frame.XStorable com.sun.star.frame.XModel com.sun.star.frame.XController
  com.sun.star.frame.XFrame com.sun.star.frame.XTitle
  com.sun.star.awt.XWindow com.sun.star.awt.XTopWindow
  com.sun.star.util.XCloseable com.sun.star.util.XCloseBroadcaster com.sun.star.util.XCloseListener com.sun.star.util.XModifiable
  com.sun.star.util.CloseVetoException
  com.sun.star.sheet.XSpreadsheetDocument com.sun.star.sheet.XSpreadsheets
  com.sun.star.sheet.XSpreadsheet com.sun.star.sheet.XSpreadsheetView
  com.sun.star.sheet.XCellRangeData com.sun.star.sheet.XSheetCellCursor
  com.sun.star.sheet.XUsedAreaCursor com.sun.star.sheet.XCellRangeAddressable
  com.sun.star.sheet.XFormulaParser com.sun.star.sheet.XFormulaTokens
  com.sun.star.sheet.XFormulaOpCodeMapper com.sun.star.sheet.FormulaLanguage
  com.sun.star.sheet.FormulaMapGroup com.sun.star.sheet.AddressConvention
  com.sun.star.table.XColumnRowRange com.sun.star.table.XTableRows com.sun.star.table.XCell
  com.sun.star.table.CellContentType com.sun.star.table.CellAddress
  com.sun.star.text.XText com.sun.star.table.CellRangeAddress com.sun.star.sheet.FormulaToken
  com.sun.star.container.XEnumeration
  com.sun.star.document.UpdateDocMode)
set(UNO_GEN_DIR "${CMAKE_CURRENT_BINARY_DIR}/uno_gen")
list(TRANSFORM UNO_TYPES PREPEND "-T" OUTPUT_VARIABLE _uno_type_args)
file(CONFIGURE OUTPUT "${UNO_GEN_DIR}/types.txt" CONTENT "${UNO_TYPES}")
add_custom_command(OUTPUT "${UNO_GEN_DIR}/stamp"
  COMMAND "${UNO_CPPUMAKER}" -Gc "-O${UNO_GEN_DIR}" ${_uno_type_args}
          "${UNO_TYPES_RDB}" "${UNO_OFFAPI_RDB}"
  COMMAND "${CMAKE_COMMAND}" -E touch "${UNO_GEN_DIR}/stamp"
  DEPENDS "${UNO_TYPES_RDB}" "${UNO_OFFAPI_RDB}" "${UNO_GEN_DIR}/types.txt" VERBATIM)
add_custom_target(uno_headers DEPENDS "${UNO_GEN_DIR}/stamp")
add_dependencies(ploxen_workbook uno_headers)

# Every file that includes UNO headers; UnoServerFactory.cpp sees only UnoServer.h.
set(_uno_sources UnoServer UnoConnection UnoBooks UnoSheets UnoCells)
list(TRANSFORM _uno_sources PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/workbook/")
list(TRANSFORM _uno_sources APPEND ".cpp")
target_sources(ploxen_workbook PRIVATE ${_uno_sources}
  "${CMAKE_CURRENT_SOURCE_DIR}/workbook/UnoServerFactory.cpp")
# Calls through remote proxies look like calls on objects of the wrong type to UBSan's vptr
# check, which reports every one of them; the check is switched off for these files only.
set(_uno_options -isystem "${UNO_GEN_DIR}" -isystem "${UNO_SDK_INCLUDE_DIR}")
if(PLOXEN_SANITIZE)
  list(APPEND _uno_options -fno-sanitize=vptr)
endif()
set_source_files_properties(${_uno_sources} PROPERTIES
  COMPILE_OPTIONS "${_uno_options}"
  COMPILE_DEFINITIONS "LINUX;UNX;CPPU_ENV=gcc3")
target_compile_definitions(ploxen_workbook PUBLIC PLOXEN_WITH_UNO=1
  PLOXEN_LO_PROGRAM="${PLOXEN_LO_ROOT}/program")
target_link_libraries(ploxen_workbook PUBLIC
  ${UNO_LIB_uno_cppuhelpergcc3} ${UNO_LIB_uno_cppu} ${UNO_LIB_uno_sal})
target_link_options(ploxen_workbook INTERFACE
  "LINKER:-rpath-link,${PLOXEN_LO_ROOT}/program" "LINKER:-rpath,${PLOXEN_LO_ROOT}/program")
