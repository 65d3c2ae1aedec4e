#pragma once
// The ODBC data source that holds every case. The operations of one kernel
// run share one connection on it (see StoreConnection.h).

namespace Velta::User {

inline constexpr const char *dataSourceName = "persistency";

} // namespace Velta::User
