#pragma once
// The ODBC data source that holds every case. Each user-level operation opens
// its own connection on it and closes it before it returns.

namespace Velta::User {

inline constexpr const char *dataSourceName = "persistency";

} // namespace Velta::User
