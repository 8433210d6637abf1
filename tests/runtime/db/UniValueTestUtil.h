#pragma once
// Helpers shared by the universal value tests.

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"
#include "runtime/db/UniValue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zvtest {

using namespace zv;

// A value of a kind, flags off unless given.
inline std::unique_ptr<TvpUniValue> MakeValue(TFieldType type, bool autoChangeType = false,
                                              bool convertOnChange = false) {
  auto v = std::make_unique<TvpUniValue>(autoChangeType, convertOnChange);
  v->SetDataType(type);
  return v;
}

inline std::vector<std::uint8_t> BytesOf(const TvpUniValue& v) {
  const auto d = v.Data();
  return {d.begin(), d.end()};
}

inline std::vector<std::uint8_t> BytesOf(const Variant& byteArray) {
  const auto d = byteArray.Bytes();
  return {d.begin(), d.end()};
}

inline Variant ByteArray(std::vector<std::uint8_t> bytes) { return VarArrayOfBytes(bytes); }

// The message of the EDatabaseError that fn raises; "" when it raises none.
template <class F>
std::string DatabaseErrorOf(F&& fn) {
  try {
    fn();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "";
}

inline std::string AccessError(const char* kind) {
  return std::string("Cannot access field 'UniValue' as type ") + kind;
}

}  // namespace zvtest
