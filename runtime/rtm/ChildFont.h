#pragma once
// TChildFont: a partial font that overrides only the attributes it sets. An empty Name, the
// colour clNone and an empty Style mean "not set". Columns and designers keep one for their
// title, cell and footer texts and apply it over an inherited font with CopyTo.

#include "platform/classes/Persistent.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"

namespace zv {

class TChildFont : public TPersistent {
  ZV_CLASS(TChildFont, TPersistent)

public:
  TChildFont() = default;

  const String& Name() const { return fName; }
  void SetName(const String& name);
  TColor Color() const { return fColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return fStyle; }
  void SetStyle(TFontStyles style);

  // From a TFont (name, colour, style) or another TChildFont; anything else fails as
  // TPersistent::Assign does. Notifies once, when something changed.
  void Assign(const TPersistent* source) override;
  // Writes into font only the attributes that are set.
  void CopyTo(TFont& font) const;
  // Same name (case-sensitive), colour and style.
  bool Equals(const TChildFont& other) const;
  bool IsEmpty() const { return fName.empty() && fColor == clNone && fStyle.Empty(); }

  // Set by the owner; called when an attribute really changes.
  TNotifyEvent OnChange;

  static void DeclareProperties(TPropTable<TChildFont>& t);

protected:
  virtual void Changed();

private:
  String fName;
  TColor fColor = clNone;
  TFontStyles fStyle;
};

}  // namespace zv
