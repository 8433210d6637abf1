#include "runtime/map/FieldMap.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DataSet.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TvpFieldMap, TCollectionItem)

void TvpFieldMap::DeclareProperties(TPropTable<TvpFieldMap>& t) {
  t.Prop("FieldName", &TvpFieldMap::FieldName, &TvpFieldMap::SetFieldName);
  t.Prop("Vision", &TvpFieldMap::Vision, &TvpFieldMap::SetVision);
  t.Prop("Caption", &TvpFieldMap::Caption, &TvpFieldMap::SetCaption);
}

TvpFieldMap::TvpFieldMap(TCollection* collection) : TCollectionItem(collection) {}

TvpFieldMap::~TvpFieldMap() = default;

void TvpFieldMap::SetFieldName(const String& value) {
  if (value == fFieldName) return;
  fFieldName = value;
  Changed(false);
}

void TvpFieldMap::SetVision(TvpFieldVision* value) {
  if (value == fVision) return;
  fVision = value;
  VisionChanged(value);
  Changed(false);
}

void TvpFieldMap::SetCaption(const String& value) {
  if (value == fCaption) return;
  fCaption = value;
  Changed(false);
}

String TvpFieldMap::DisplayName() const { return fCaption + " : " + fFieldName; }

void TvpFieldMap::Assign(const TPersistent* source) {
  auto* map = dynamic_cast<const TvpFieldMap*>(source);
  if (!map) {
    TCollectionItem::Assign(source);
    return;
  }
  fFieldName = map->fFieldName;
  if (fVision != map->fVision) {
    fVision = map->fVision;
    VisionChanged(fVision);
  }
  fCaption = map->fCaption;
  Changed(false);
}

ZV_DEFINE_CLASS(TvpCustomFieldMapper, TComponent)

TvpCustomFieldMapper::TvpCustomFieldMapper(TComponent* owner) : TComponent(owner) {}

TvpCustomFieldMapper::~TvpCustomFieldMapper() = default;

String TvpCustomFieldMapper::GetFieldCaptions(const String& fieldNames, const String& attrs,
                                              TDataSet* dataSet) {
  if (fieldNames.empty()) return {};
  String result = fieldNames;
  const auto names = lioSplit(fieldNames);
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    const String name(names[static_cast<std::size_t>(i)]);
    if (TvpFieldMap* map = FindMap2(name, attrs))
      result = lioWrite(result, i, map->Caption());
    else if (TField* field = dataSet ? dataSet->FindField(name) : nullptr)
      result = lioWrite(result, i, field->DisplayLabel());
  }
  return result;
}

}  // namespace zv
