#pragma once
// TField: one column of a dataset's current record. A field reads and writes its value through
// its dataset (GetFieldData/SetFieldData on the active buffer); typed access converts, and a
// conversion the field's class does not support raises the host's access error. The field
// classes (string, numeric, date-time, boolean, blob, ...) are in Fields.h.
//
// Calculated fields (fkCalculated, fkInternalCalc) and lookup fields (fkLookup) have no column:
// their values live beside the record in the dataset's buffers, filled as each record is read
// (TDataSet::OnCalcFields; a lookup field from its LookupDataSet), and only a calculation may
// write them.

#include "platform/classes/Component.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/Variant.h"

#include <functional>
#include <initializer_list>
#include <set>
#include <vector>

namespace zv {

class TDataSet;
class TField;

// The characters a field accepts as typed input (the host's ValidChars): a set of Unicode
// characters, or every character but a set of them.
class TFieldChars {
public:
  TFieldChars() = default;  // no character
  TFieldChars(std::initializer_list<char32_t> chars) : fChars(chars) {}
  static TFieldChars All() {
    TFieldChars all;
    all.fAllBut = true;
    return all;
  }
  bool Contains(char32_t c) const { return fChars.contains(c) != fAllBut; }
  TFieldChars& Include(char32_t c);
  TFieldChars& Exclude(char32_t c);
  TFieldChars& Include(char32_t first, char32_t last);  // a range, both ends included
  bool operator==(const TFieldChars&) const = default;

private:
  bool fAllBut = false;  // fChars holds the characters left out
  std::set<char32_t> fChars;
};

ZV_EVENT(TFieldNotifyEvent, void(TField* sender));
ZV_EVENT(TFieldGetTextEvent, void(TField* sender, String& text, bool displayText));
ZV_EVENT(TFieldSetTextEvent, void(TField* sender, const String& text));

class TField : public TComponent {
  ZV_CLASS(TField, TComponent)

public:
  explicit TField(TComponent* owner);
  ~TField() override;

  TDataSet* DataSet() const { return fDataSet; }
  void SetDataSet(TDataSet* dataSet);  // adds to / removes from the dataset's Fields

  const String& FieldName() const { return fFieldName; }
  void SetFieldName(const String& name);
  int FieldNo() const { return fFieldNo; }  // 1-based position in the field defs; 0 when none
  void SetFieldNo(int n) { fFieldNo = n; }
  TFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TFieldKind kind);  // only while the dataset is closed
  bool Calculated() const { return fFieldKind == fkCalculated; }
  void SetCalculated(bool value);  // fkCalculated, or back to fkData
  bool Lookup() const { return fFieldKind == fkLookup; }
  void SetLookup(bool value);  // fkLookup, or back to fkData
  TFieldType DataType() const { return fDataType; }
  int Size() const { return fSize; }
  virtual void SetSize(int size);
  int Index() const;  // position in the dataset's Fields
  void SetIndex(int index);

  // The field's caption; its name until a label is set, as the host's.
  String DisplayLabel() const { return DisplayName(); }
  void SetDisplayLabel(const String& label);
  String DisplayName() const { return fDisplayLabel.empty() ? fFieldName : fDisplayLabel; }
  int DisplayWidth() const;
  void SetDisplayWidth(int width);
  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment a);
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool v) { fReadOnly = v; }
  bool Required() const { return fRequired; }
  void SetRequired(bool v) { fRequired = v; }
  bool Visible() const { return fVisible; }
  void SetVisible(bool v);
  const String& EditMask() const { return fEditMask; }
  void SetEditMask(const String& mask) { fEditMask = mask; }
  bool CanModify() const;
  // Class tests the library relies on ("is a numeric field", "is a blob field", ...).
  virtual bool IsBlob() const { return false; }

  // Whether a character typed into a control may be part of the field's text: one that
  // ValidChars holds. Every character for most classes; the numeric ones take their digits,
  // signs and the decimal separator (and the exponent letter for floats). Characters are
  // judged one at a time: a second decimal separator is the conversion's to refuse.
  virtual bool IsValidChar(char32_t c) const { return fValidChars.Contains(c); }
  const TFieldChars& ValidChars() const { return fValidChars; }
  void SetValidChars(const TFieldChars& chars) { fValidChars = chars; }
  // Asks the controls that show the field to take the focus; the first that takes it ends the
  // asking. Nothing happens while the dataset is closed.
  void FocusControl();

  bool IsNull() const;
  void Clear() { SetData(Variant::Null()); }

  // Typed access; each class overrides the conversions it has, the rest raise
  // "Cannot access field 'X' as type Y".
  virtual String AsString() const;
  // The length in bytes of the stored value (a text's UTF-8, a blob's bytes; 0 for null), asked
  // without reading a long value that the dataset holds only the start of.
  std::int64_t DataLength() const;
  virtual void SetAsString(const String& v);
  virtual int AsInteger() const;
  virtual void SetAsInteger(int v);
  virtual std::int64_t AsLargeInt() const;
  virtual void SetAsLargeInt(std::int64_t v);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double v);
  virtual Currency AsCurrency() const;
  virtual void SetAsCurrency(Currency v);
  virtual TBcd AsBCD() const;
  virtual void SetAsBCD(const TBcd& v);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool v);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime v);
  virtual TSQLTimeStamp AsSQLTimeStamp() const;
  virtual void SetAsSQLTimeStamp(const TSQLTimeStamp& v);
  virtual Variant AsVariant() const;
  virtual void SetAsVariant(const Variant& v);
  Variant Value() const { return AsVariant(); }
  void SetValue(const Variant& v) { SetAsVariant(v); }

  // Text for editing (EditFormat), and for display (DisplayFormat). OnGetText, when set,
  // supplies both instead, starting from empty text, as the host's does.
  String Text() const;
  void SetText(const String& text);
  String DisplayText() const;

  // Checks and stores a raw value into the active record (OnValidate, then the dataset).
  void SetData(const Variant& value);
  // Reads the raw value of the active record; false when null. Not whole: the start of a long
  // value that the dataset holds only in part (for display, or to tell null).
  bool GetData(Variant& value, bool whole = true) const;
  void Validate();

  // Lookup fields: the value is LookupResultField of the LookupDataSet record whose
  // LookupKeyFields equal this dataset's KeyFields (";" lists of the same length). A lookup
  // dataset that is closed, or gone (it is cleared when destroyed), gives Null. With
  // LookupCache, the values found are kept per key until the lookup dataset's data changes
  // (post, delete, refresh, open, close), a lookup property changes, or RefreshLookupList.
  TDataSet* LookupDataSet() const { return fLookupDataSet; }
  void SetLookupDataSet(TDataSet* dataSet);  // the field's own dataset raises SCircularDataLink
  const String& LookupKeyFields() const { return fLookupKeyFields; }
  void SetLookupKeyFields(const String& names);
  const String& LookupResultField() const { return fLookupResultField; }
  void SetLookupResultField(const String& name);
  const String& KeyFields() const { return fKeyFields; }
  void SetKeyFields(const String& names);
  bool LookupCache() const { return fLookupCache; }
  void SetLookupCache(bool value);
  void RefreshLookupList() { fLookupValues.clear(); }

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;
  TFieldNotifyEvent OnValidate;
  TFieldNotifyEvent OnChange;

  // Called by the dataset after the field's value changed.
  virtual void Change();

  static void DeclareProperties(TPropTable<TField>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;
  void SetDataType(TFieldType type) { fDataType = type; }
  [[noreturn]] void AccessError(const char* typeName) const;
  void CheckInactive() const;
  // Raises SInvalidFieldSize for a size the class cannot have (only blobs have one here).
  virtual void CheckTypeSize(int size) const;
  // Tells an active dataset's controls that a display property changed.
  void PropertyChanged(bool layoutAffected);
  // "(Memo)" from the class name, upper-cased when the value is not null.
  String ClassDesc() const;
  // Stores a value that is not Null; SetAsVariant clears the field for Null.
  virtual void SetVarValue(const Variant& v);

  // Text of the value for display or editing, when there is no OnGetText.
  virtual String GetText(bool displayText) const;
  virtual int GetDefaultWidth() const { return 10; }

private:
  friend class TFieldDef;  // sets the data type of a field it creates (FixedChar, AutoInc...)
  friend class TDataSet;   // binds the calculated value slot, asks lookup values

  // Whether the value lives in the dataset's calculated values rather than in a column.
  bool HasCalcValue() const { return fFieldKind == fkCalculated || fFieldKind == fkInternalCalc || fFieldKind == fkLookup; }
  // The value of a lookup field for the record being calculated (through the cache).
  Variant LookupValue();
  // A lookup property changed: cached values and the values shown are stale.
  void LookupChanged();

  bool IsDisplayLabelStored() const { return !fDisplayLabel.empty(); }
  bool IsDisplayWidthStored() const { return fDisplayWidth > 0; }

  TDataSet* fDataSet = nullptr;
  // While OnValidate runs, the value being validated: the field reads as it.
  const Variant* fValidating = nullptr;
  String fFieldName;
  int fFieldNo = 0;
  TFieldKind fFieldKind = fkData;
  TFieldType fDataType = ftUnknown;
  int fSize = 0;
  String fDisplayLabel;
  int fDisplayWidth = 0;
  TAlignment fAlignment = taLeftJustify;
  bool fReadOnly = false;
  bool fRequired = false;
  bool fVisible = true;
  String fEditMask;
  TFieldChars fValidChars = TFieldChars::All();
  int fCalcIndex = -1;  // slot in the record buffers' CalcValues while the dataset is open

  struct TLookupValue {
    Variant Key;
    Variant Value;
  };
  TDataSet* fLookupDataSet = nullptr;
  String fLookupKeyFields;
  String fLookupResultField;
  String fKeyFields;
  bool fLookupCache = false;
  std::vector<TLookupValue> fLookupValues;  // the cache, most recent last
};

}  // namespace zv
