# Libraries of the embedded workbook engine: orcus reads .xlsx/.ods, libxlsxwriter writes .xlsx.
set(PLOXEN_WORKBOOK_LIBS "")
