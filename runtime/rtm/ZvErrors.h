#pragma once
// The library's exception classes and its argument guards.

#include "platform/rtl/Exceptions.h"

namespace zv {

// Every failure of the library outside the grid: argument guards, the object dataset, property
// access, value conversion.
class EZVError : public Exception {
public:
  using Exception::Exception;
};

// Failures of the grid.
class EDBDivoRud : public EZVError {
public:
  using EZVError::EZVError;
};

// Raise EZVError with the table's message when the argument is out of range.
void CheckForPositiveAndZero(int value);  // value >= 0
void CheckForPositive(int value);         // value > 0
void CheckIndex(int index, int count);    // 0 <= index < count

}  // namespace zv
