#pragma once
// The mapper contract the grid, edit and text controls follow: a map names a field's vision and
// caption; a mapper finds the map that applies to a field under a control's attribute words and
// tells its controls (CM_FIELDMAPCHANGED) when maps change. TQuickFieldMapper
// (QuickFieldMapper.h) is the mapper applications place on a form.

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Set.h"
#include "platform/controls/Messages.h"

namespace zv {

class TControl;
class TDataSet;
class TgpFieldList;
class TvpFieldVision;

// Sent, both parameters 0, to every control attached to a mapper whose maps changed.
inline constexpr unsigned CM_FIELDMAPCHANGED = ZV_CM_FIELDMAPCHANGED;

// What the data edit and text controls take from a map.
ZV_ENUM(TgpMappingOption, eioImportCaption, eioImportDomain);
using TgpMappingOptions = TSet<TgpMappingOption>;

// One field's map. Setting a member to a different value reports the item changed.
class TvpFieldMap : public TCollectionItem {
  ZV_CLASS(TvpFieldMap, TCollectionItem)

public:
  explicit TvpFieldMap(TCollection* collection = nullptr);
  ~TvpFieldMap() override;

  const String& FieldName() const { return fFieldName; }
  void SetFieldName(const String& value);
  TvpFieldVision* Vision() const { return fVision; }
  void SetVision(TvpFieldVision* value);
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& value);

  // Caption + " : " + FieldName.
  String DisplayName() const override;
  // Copies the three members from another map and reports one change.
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TvpFieldMap>& t);

protected:
  // The map now refers to `vision` (null included).
  virtual void VisionChanged(TvpFieldVision* vision) = 0;
  // FieldName took a new value; runs before the change is reported, so that lookups made by
  // those told already find the map under its new name.
  virtual void FieldNameChanged() {}

private:
  String fFieldName;
  TvpFieldVision* fVision = nullptr;
  String fCaption;
};

class TvpCustomFieldMapper : public TComponent {
  ZV_CLASS(TvpCustomFieldMapper, TComponent)

public:
  explicit TvpCustomFieldMapper(TComponent* owner);
  ~TvpCustomFieldMapper() override;

  virtual void AddControl(TControl* control) = 0;
  virtual void RemoveControl(TControl* control) = 0;
  virtual TvpFieldMap* FindMap(TgpFieldList* fieldList) = 0;
  virtual TvpFieldMap* FindMap2(const String& fieldName, const String& attrs) = 0;

  // The ";" list of fieldNames with each item replaced by its map's caption, else by the
  // dataset field's DisplayLabel, else left as it is.
  String GetFieldCaptions(const String& fieldNames, const String& attrs, TDataSet* dataSet);
};

// Moves control from the mapper it holds in `mapper` to value: the old mapper forgets it, the
// new one knows it and tells it when it goes. False when value already is the mapper.
bool HandOverMapper(TControl* control, TvpCustomFieldMapper*& mapper, TvpCustomFieldMapper* value);

}  // namespace zv
