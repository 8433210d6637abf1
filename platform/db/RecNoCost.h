#pragma once
// A dataset over a large source whose record's position can cost a pass over the rows (after a
// new order no index serves) says so before it is asked, as RecordCountKnown does for the
// count: a control places its scroll thumb without RecNo until the position is known. A
// dataset that does not take this on answers RecNo at once.

#include "platform/db/DataSet.h"

namespace zv {

class TRecNoCost {
public:
  // Whether RecNo answers without a pass over the rows.
  virtual bool RecNoKnown() const = 0;

protected:
  ~TRecNoCost() = default;
};

inline bool RecNoKnown(const TDataSet& dataSet) {
  const auto* cost = dynamic_cast<const TRecNoCost*>(&dataSet);
  return !cost || cost->RecNoKnown();
}

}  // namespace zv
