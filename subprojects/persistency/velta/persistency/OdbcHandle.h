#pragma once
// Ownership of one ODBC handle: released exactly once, by release() or by the
// destructor, whichever comes first. The ODBC headers stay out of this header;
// handle types carry the values of SQL_HANDLE_ENV, SQL_HANDLE_DBC and
// SQL_HANDLE_STMT.

enum class OdbcHandleType : short { environment = 1, connection = 2, statement = 3 };

class OdbcHandle {
public:
  explicit OdbcHandle(OdbcHandleType type) : type_(type) {}
  OdbcHandle(const OdbcHandle &) = delete;
  OdbcHandle &operator=(const OdbcHandle &) = delete;
  ~OdbcHandle() { release(); }

  // Allocates the handle on its input handle (none for an environment);
  // returns the ODBC result. On failure nothing is held.
  short allocate(void *input);
  // Frees the handle if one is held; returns the ODBC result (0 when there
  // was nothing to free). The handle is forgotten either way.
  short release() noexcept;

  void *get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  OdbcHandleType type() const { return type_; }
  short typeCode() const { return static_cast<short>(type_); }

private:
  OdbcHandleType type_;
  void *handle_ = nullptr;
};
