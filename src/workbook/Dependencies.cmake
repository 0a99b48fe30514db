# Libraries of the embedded workbook engine: orcus reads .xlsx/.ods, libxlsxwriter writes .xlsx,
# libzip packs the .ods writer's parts.
pkg_check_modules(ORCUS REQUIRED IMPORTED_TARGET liborcus-0.17)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
set(PLOXEN_WORKBOOK_LIBS PkgConfig::ORCUS PkgConfig::XLSXWRITER PkgConfig::LIBZIP)
