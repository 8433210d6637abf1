#pragma once
// How a control's bounds follow its parent and its own limits, as on the host: Anchors name
// the parent's edges whose distance the control keeps when the parent's client area changes
// size (the default [akLeft, akTop] keeps the position; akLeft + akRight stretch; an axis with
// neither edge keeps the control's centre at the same proportion); Constraints limit the width
// and height of every resize, whoever asks for it (the program, aligning, anchoring, the user
// sizing a window). A limit of 0 means none.

#include "platform/classes/Persistent.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Set.h"

namespace zv {

ZV_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom);
using TAnchors = TSet<TAnchorKind>;

class TControl;

class TSizeConstraints : public TPersistent {
  ZV_CLASS(TSizeConstraints, TPersistent)

public:
  // control is told of every change (it re-applies the limits to its present size).
  explicit TSizeConstraints(TControl* control = nullptr) : fControl(control) {}

  // Negative values raise ERangeError. Raising a minimum above its maximum raises the maximum;
  // lowering a maximum below its minimum lowers the minimum (the pair stays ordered).
  int MinWidth() const { return fMinWidth; }
  void SetMinWidth(int value);
  int MinHeight() const { return fMinHeight; }
  void SetMinHeight(int value);
  int MaxWidth() const { return fMaxWidth; }
  void SetMaxWidth(int value);
  int MaxHeight() const { return fMaxHeight; }
  void SetMaxHeight(int value);

  // width and height within the limits.
  void Apply(int& width, int& height) const;

  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TSizeConstraints>& t);

protected:
  TPersistent* GetOwner() const override;

private:
  void Change();
  int fMinWidth = 0;
  int fMinHeight = 0;
  int fMaxWidth = 0;
  int fMaxHeight = 0;
  TControl* fControl;
};

}  // namespace zv
