#include "runtime/map/FieldMap.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DataSet.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/FieldVision.h"

#include <vector>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TvpFieldMap, TCollectionItem)

void TvpFieldMap::DeclareProperties(TPropTable<TvpFieldMap>& t) {
  t.Prop("FieldName", &TvpFieldMap::FieldName, &TvpFieldMap::SetFieldName);
  t.Prop("Vision", &TvpFieldMap::Vision, &TvpFieldMap::SetVision);
  t.Prop("Caption", &TvpFieldMap::Caption, &TvpFieldMap::SetCaption);
}

// Joins the collection once its members are set, so that the collection's notice of a new
// item never meets uninitialised members.
TvpFieldMap::TvpFieldMap(TCollection* collection) : TCollectionItem(nullptr) { SetCollection(collection); }

TvpFieldMap::~TvpFieldMap() = default;

void TvpFieldMap::SetFieldName(const String& value) {
  if (value == fFieldName) return;
  fFieldName = value;
  FieldNameChanged();
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
  if (map == this) {
    Changed(false);
    return;
  }
  if (fFieldName != map->fFieldName) {
    fFieldName = map->fFieldName;
    FieldNameChanged();
  }
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
  // Built item by item rather than written into the list in place: a caption holding the
  // separator would shift the positions of the items after it.
  std::vector<String> captions;
  for (const std::string_view item : lioSplit(fieldNames)) {
    const String name(item);
    if (TvpFieldMap* map = FindMap2(name, attrs))
      captions.push_back(map->Caption());
    else if (TField* field = dataSet ? dataSet->FindField(name) : nullptr)
      captions.push_back(field->DisplayLabel());
    else
      captions.push_back(name);
  }
  return lioJoin({captions.begin(), captions.end()});
}

bool HandOverMapper(TControl* control, TvpCustomFieldMapper*& mapper, TvpCustomFieldMapper* value) {
  if (value == mapper) return false;
  // A mapper on its way out forgets its controls itself, and may be half destroyed already.
  if (mapper && !mapper->ComponentState().Contains(csDestroying)) mapper->RemoveControl(control);
  mapper = value;
  if (value) {
    value->AddControl(control);
    value->FreeNotification(control);
  }
  return true;
}

}  // namespace zv
