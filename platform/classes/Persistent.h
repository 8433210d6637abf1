#pragma once
// TPersistent: an object that can be assigned from another and stored with a form.

#include "platform/classes/Object.h"

namespace zv {

class TFiler;
class IDesignerNotify;

class TPersistent : public TObject {
  ZV_CLASS(TPersistent, TObject)

public:
  // Copies source into this object: asks source to AssignTo this when this class does not
  // know the source's class; raises EConvertError "Cannot assign a X to a Y" when neither does.
  virtual void Assign(const TPersistent* source);
  // The dotted path that names this object in its form ("Form1.Grid1.Columns[2]").
  virtual String GetNamePath() const;

protected:
  virtual void AssignTo(TPersistent* dest) const;
  // Adds properties that are not published (binary data, computed values) to the stream.
  virtual void DefineProperties(TFiler& filer);
  // The object this one belongs to for naming and change notification.
  virtual TPersistent* GetOwner() const { return nullptr; }

  friend class TFiler;
  friend IDesignerNotify* FindRootDesigner(const TPersistent* object);
  friend class TReader;
  friend class TWriter;
};

}  // namespace zv
