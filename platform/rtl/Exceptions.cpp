#include "platform/rtl/Exceptions.h"

#include "platform/rtl/Consts.h"

namespace zv {

void Abort() { throw EAbort(SOperationAborted); }

void DatabaseError(const String& message) { throw EDatabaseError(message); }

}  // namespace zv
