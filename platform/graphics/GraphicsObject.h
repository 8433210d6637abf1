#pragma once
// TGraphicsObject: the common base of fonts, pens and brushes; tells its owner (a canvas, a
// control) through OnChange whenever one of its properties really changes.

#include "platform/classes/Persistent.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Colors.h"

namespace zv {

class TGraphicsObject : public TPersistent {
  ZV_CLASS(TGraphicsObject, TPersistent)

public:
  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

// Windows MulDiv: a * b / c in 64 bits, rounded half away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

}  // namespace zv
