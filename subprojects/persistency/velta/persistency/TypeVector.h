#pragma once
// A named variable holding a vector of T, with range-tested element access.

#include "velta/persistency/Type.h"
#include "velta/utility/Error.h"

#include <cstddef>
#include <string>
#include <vector>

template <class T> class TypeVector : public Type<std::vector<T>> {
public:
  // count copies of value.
  TypeVector(std::string tag, std::string description, Item *parent, std::size_t count,
             const T &value)
      : Type<std::vector<T>>(std::move(tag), std::move(description),
                             std::vector<T>(count, value), parent) {}

  // Element index; an index not below the element count throws ErrorRunTime
  // and touches nothing. The two differ only in the name they report.
  T &at(std::size_t index) {
    checkIndex(index, "TypeVector::at");
    return this->value_[index];
  }
  const T &at(std::size_t index) const {
    checkIndex(index, "TypeVector::at");
    return this->value_[index];
  }
  T &operator[](std::size_t index) {
    checkIndex(index, "TypeVector::operator[]");
    return this->value_[index];
  }
  const T &operator[](std::size_t index) const {
    checkIndex(index, "TypeVector::operator[]");
    return this->value_[index];
  }

  std::size_t size() const { return this->value_.size(); }

  // Drops trailing elements or appends default ones (0, "", a value whose
  // units are not yet known).
  virtual void resize(std::size_t count) { this->value_.resize(count); }

  // "[" then each element between double quotes, separated by ", ", then "]".
  std::ostream &print(std::ostream &stream) const override { return printList(stream, true); }

protected:
  // "[" then the elements separated by ", ", each between double quotes when
  // quoted (without escaping), then "]".
  std::ostream &printList(std::ostream &stream, bool quoted) const {
    stream << "[";
    for (std::size_t i = 0; i < this->value_.size(); ++i) {
      if (i > 0)
        stream << ", ";
      if (quoted)
        stream << '"' << this->value_[i] << '"';
      else
        stream << this->value_[i];
    }
    return stream << "]";
  }

private:
  void checkIndex(std::size_t index, const char *function) const {
    if (index >= this->value_.size())
      throw ErrorRunTime(function, "index is outside range: index larger than vector size");
  }
};

// Element count given as a signed integer; a negative one is refused with an
// ErrorRunTime naming the constructor.
std::size_t elementCount(int count, const char *function);
