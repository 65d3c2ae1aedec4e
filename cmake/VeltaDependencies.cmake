# The external libraries of the Velta libraries, found the same way by the
# kernel's own build and by a project that uses the Velta package.
find_package(Boost REQUIRED)
find_package(ODBC REQUIRED)
# The ODBC installer library reads a data source's entries (its database file).
find_library(ODBCINST_LIBRARY NAMES odbcinst REQUIRED)
if(NOT TARGET ODBC::odbcinst)
  add_library(ODBC::odbcinst UNKNOWN IMPORTED)
  set_target_properties(ODBC::odbcinst PROPERTIES IMPORTED_LOCATION "${ODBCINST_LIBRARY}")
endif()
find_package(jsoncpp CONFIG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(MXML REQUIRED IMPORTED_TARGET mxml)

# Sparse LU of large Newton steps: Debian's libsuitesparse-dev ships CXSparse
# (a superset of CSparse) with the header <suitesparse/cs.h>.
find_path(CSPARSE_INCLUDE_DIR suitesparse/cs.h REQUIRED)
find_library(CSPARSE_LIBRARY NAMES cxsparse REQUIRED)
if(NOT TARGET CXSparse::CXSparse)
  add_library(CXSparse::CXSparse UNKNOWN IMPORTED)
  set_target_properties(CXSparse::CXSparse PROPERTIES IMPORTED_LOCATION "${CSPARSE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${CSPARSE_INCLUDE_DIR}")
endif()
