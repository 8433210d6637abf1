#pragma once
// The host's exception hierarchy. Every failure of the library and of the host layer is an
// exception derived from Exception; EAbort is the silent cancellation that unwinds an event
// chain without a message.

#include <exception>
#include <string>

namespace zv {

using String = std::string;

class Exception : public std::exception {
public:
  explicit Exception(String message) : fMessage(std::move(message)) {}
  const char* what() const noexcept override { return fMessage.c_str(); }
  const String& Message() const noexcept { return fMessage; }
  void SetMessage(String message) { fMessage = std::move(message); }

private:
  String fMessage;
};

#define ZV_DECLARE_EXCEPTION(Name, Base)          \
  class Name : public Base {                      \
  public:                                         \
    using Base::Base;                             \
  };

ZV_DECLARE_EXCEPTION(EAbort, Exception)
ZV_DECLARE_EXCEPTION(EConvertError, Exception)
ZV_DECLARE_EXCEPTION(EListError, Exception)
ZV_DECLARE_EXCEPTION(EVariantError, Exception)
ZV_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError)
ZV_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError)
ZV_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError)
ZV_DECLARE_EXCEPTION(EDatabaseError, Exception)
ZV_DECLARE_EXCEPTION(EInvalidOperation, Exception)
ZV_DECLARE_EXCEPTION(EInvalidPointer, Exception)
ZV_DECLARE_EXCEPTION(EOutOfResources, Exception)
ZV_DECLARE_EXCEPTION(EFilerError, Exception)
ZV_DECLARE_EXCEPTION(EReadError, EFilerError)
ZV_DECLARE_EXCEPTION(EWriteError, EFilerError)
ZV_DECLARE_EXCEPTION(EStreamError, Exception)
ZV_DECLARE_EXCEPTION(EMathError, Exception)
ZV_DECLARE_EXCEPTION(EOverflow, EMathError)
ZV_DECLARE_EXCEPTION(EZeroDivide, EMathError)
ZV_DECLARE_EXCEPTION(EInvalidOp, EMathError)
ZV_DECLARE_EXCEPTION(EIntError, Exception)
ZV_DECLARE_EXCEPTION(EIntOverflow, EIntError)
ZV_DECLARE_EXCEPTION(EDivByZero, EIntError)
ZV_DECLARE_EXCEPTION(ERangeError, EIntError)
ZV_DECLARE_EXCEPTION(EBcdException, Exception)
ZV_DECLARE_EXCEPTION(EBcdOverflowException, EBcdException)
ZV_DECLARE_EXCEPTION(ESQLTimeStampException, Exception)

#undef ZV_DECLARE_EXCEPTION

// Raises the silent EAbort.
[[noreturn]] void Abort();

// Raises EDatabaseError with the message; the Fmt form formats it first.
[[noreturn]] void DatabaseError(const String& message);

}  // namespace zv
