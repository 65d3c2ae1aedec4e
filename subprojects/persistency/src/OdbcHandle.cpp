#include "velta/persistency/OdbcHandle.h"

#include <sql.h>

static_assert(static_cast<short>(OdbcHandleType::environment) == SQL_HANDLE_ENV);
static_assert(static_cast<short>(OdbcHandleType::connection) == SQL_HANDLE_DBC);
static_assert(static_cast<short>(OdbcHandleType::statement) == SQL_HANDLE_STMT);

short OdbcHandle::allocate(void *input) {
  release();
  SQLHANDLE handle = SQL_NULL_HANDLE;
  const SQLRETURN rc = SQLAllocHandle(typeCode(), input ? input : SQL_NULL_HANDLE, &handle);
  if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO)
    handle_ = handle;
  else if (handle != SQL_NULL_HANDLE && type_ != OdbcHandleType::environment)
    SQLFreeHandle(typeCode(), handle);
  return rc;
}

short OdbcHandle::release() noexcept {
  if (handle_ == nullptr)
    return SQL_SUCCESS;
  void *handle = handle_;
  handle_ = nullptr;
  return SQLFreeHandle(typeCode(), handle);
}
