#pragma once
// Values on their way into a field: TgpFieldValue is what a vision parses a text into and what
// BeforePost handlers see; TfvCurrentValue is an edit control's value that is not posted yet.

#include "runtime/db/UniValue.h"

namespace zv {

class IvpFieldEditor;

// Which kind of host owns a field list.
ZV_ENUM(TgpHostType, fhtColumn, fhtEdit, fhtText);

class TgpFieldValue : public TvpUniValue {
  ZV_CLASS(TgpFieldValue, TvpUniValue)

public:
  explicit TgpFieldValue(bool autoChangeType = false, bool convertOnChange = false)
      : TvpUniValue(autoChangeType, convertOnChange) {}
};

// One per edit control. A drop-down or switch that puts a ready value here raises Modified, and
// posting then takes the value as it is instead of parsing the editor's text.
class TfvCurrentValue : public TgpFieldValue {
  ZV_CLASS(TfvCurrentValue, TgpFieldValue)

public:
  // The type stays as the editor sets it, and a type change converts what is held.
  TfvCurrentValue() : TgpFieldValue(false, true) {}

  IvpFieldEditor* Editor() const { return fEditor; }
  void SetEditor(IvpFieldEditor* editor) { fEditor = editor; }
  // The editor text was typed or set since the last reset: it must be parsed before posting.
  bool TextChanged() const { return fTextChanged; }
  void SetTextChanged(bool value) { fTextChanged = value; }

private:
  IvpFieldEditor* fEditor = nullptr;
  bool fTextChanged = false;
};

}  // namespace zv
