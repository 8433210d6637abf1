#include "runtime/map/QuickFieldMapper.h"

#include "platform/classes/Modules.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/Application.h"
#include "platform/controls/Control.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace zv {

namespace {

// Equal keys exactly when the names are equal ignoring case the way datasets compare field
// names (AnsiSameText): the collation key of the folded name.
String NameKeyOf(std::string_view name) {
  std::vector<std::uint8_t> key;
  AppendAnsiSortKey(key, name, true);
  return String(key.begin(), key.end());
}

// Conditions and attribute words compare as the one-string lists do: by full case folding,
// item against item; no trimming.
std::vector<String> FoldedItems(std::string_view list, char sep) {
  std::vector<String> items;
  const String folded = CaseFold(list);
  for (std::string_view item : lioSplit(folded, sep)) items.emplace_back(item);
  return items;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TvpFieldMapEx

ZV_DEFINE_CLASS(TvpFieldMapEx, TvpFieldMap)

TvpFieldMapEx::TvpFieldMapEx(TCollection* collection) : TvpFieldMap(collection) {}

TvpFieldMapEx::~TvpFieldMapEx() = default;

TvpFieldMaps* TvpFieldMapEx::Maps() const { return dynamic_cast<TvpFieldMaps*>(Collection()); }

// Walked each time: a map may be made before its group joins a mapper.
TQuickFieldMapper* TvpFieldMapEx::Mapper() const {
  const TvpFieldMaps* maps = Maps();
  const TvpFieldMapGroup* group = maps ? maps->Group() : nullptr;
  return group ? group->Mapper() : nullptr;
}

void TvpFieldMapEx::VisionChanged(TvpFieldVision* vision) {
  if (!vision) return;
  if (TQuickFieldMapper* mapper = Mapper()) vision->FreeNotification(mapper);
}

void TvpFieldMapEx::FieldNameChanged() {
  fNameKeyValid = false;
  if (TvpFieldMaps* maps = Maps()) maps->InvalidateIndex();
}

const String& TvpFieldMapEx::NameKey() const {
  if (!fNameKeyValid) {
    fNameKey = NameKeyOf(FieldName());
    fNameKeyValid = true;
  }
  return fNameKey;
}

// ---------------------------------------------------------------------------------------------
// TvpFieldMaps

ZV_DEFINE_CLASS(TvpFieldMaps, TOwnedCollection)

TvpFieldMaps::TvpFieldMaps(TvpFieldMapGroup* group)
    : TOwnedCollection(group, TvpFieldMapEx::StaticClass()), fGroup(group) {
  SetPropName("Maps");
}

TvpFieldMaps::~TvpFieldMaps() = default;

TvpFieldMapEx* TvpFieldMaps::Add() { return static_cast<TvpFieldMapEx*>(TCollection::Add()); }

TvpFieldMapEx* TvpFieldMaps::FindMap(std::string_view fieldName) const {
  if (Count() == 0) return nullptr;
  return FindMapByKey(NameKeyOf(fieldName));
}

TvpFieldMapEx* TvpFieldMaps::FindMapByKey(const String& key) const {
  if (!fIndexValid) {
    fIndex.clear();
    fIndex.reserve(static_cast<std::size_t>(Count()));
    for (int i = 0; i < Count(); ++i) {
      TvpFieldMapEx* map = Items(i);
      fIndex.emplace(map->NameKey(), map);
    }
    fIndexValid = true;
  }
  auto [first, last] = fIndex.equal_range(key);
  TvpFieldMapEx* found = nullptr;
  int foundIndex = INT_MAX;
  for (auto it = first; it != last; ++it) {
    const int index = it->second->Index();
    if (index < foundIndex) {
      found = it->second;
      foundIndex = index;
    }
  }
  return found;
}

void TvpFieldMaps::Update(TCollectionItem* item) {
  if (fGroup) fGroup->MapsChanged(static_cast<TvpFieldMap*>(item));
}

void TvpFieldMaps::Notify(TCollectionItem* item, TCollectionNotification action) {
  TOwnedCollection::Notify(item, action);
  // Only the item's pointer is safe here: a map leaving is already partly destroyed.
  fIndexValid = false;
  if (action != cnAdded) return;
  // A map moved here from elsewhere may refer to a vision this mapper does not watch yet. (A
  // map joining from its constructor has none and is not whole yet: not cast before that.)
  auto* map = static_cast<TvpFieldMap*>(item);
  if (TvpFieldVision* vision = map->Vision()) static_cast<TvpFieldMapEx*>(map)->VisionChanged(vision);
}

// ---------------------------------------------------------------------------------------------
// TvpFieldMapGroup

ZV_DEFINE_CLASS_WITH_PROPS(TvpFieldMapGroup, TCollectionItem)

void TvpFieldMapGroup::DeclareProperties(TPropTable<TvpFieldMapGroup>& t) {
  t.Prop("Maps", &TvpFieldMapGroup::Maps, &TvpFieldMapGroup::SetMaps);
  t.Prop("MapConditions", &TvpFieldMapGroup::MapConditions, &TvpFieldMapGroup::SetMapConditions);
  t.Prop("Description", &TvpFieldMapGroup::Description, &TvpFieldMapGroup::SetDescription);
}

// Joins the collection once its maps exist: the groups look at a new group's maps.
TvpFieldMapGroup::TvpFieldMapGroup(TCollection* collection)
    : TCollectionItem(nullptr), fMaps(std::make_unique<TvpFieldMaps>(this)) {
  SetCollection(collection);
}

TvpFieldMapGroup::~TvpFieldMapGroup() = default;

TgpFieldMapGroups* TvpFieldMapGroup::Groups() const { return dynamic_cast<TgpFieldMapGroups*>(Collection()); }

TQuickFieldMapper* TvpFieldMapGroup::Mapper() const {
  const TgpFieldMapGroups* groups = Groups();
  return groups ? groups->Mapper() : nullptr;
}

void TvpFieldMapGroup::SetMaps(TvpFieldMaps* value) { fMaps->Assign(value); }

void TvpFieldMapGroup::SetMapConditions(const String& value) {
  if (value == fMapConditions) return;
  fMapConditions = value;
  fClauses.clear();
  if (!value.empty())
    for (std::string_view clause : lioSplit(value)) fClauses.push_back(FoldedItems(clause, ','));
  Changed(false);
}

String TvpFieldMapGroup::DisplayName() const {
  return fDescription.empty() ? TCollectionItem::DisplayName() : fDescription;
}

void TvpFieldMapGroup::Assign(const TPersistent* source) {
  const auto* group = dynamic_cast<const TvpFieldMapGroup*>(source);
  if (!group) {
    TCollectionItem::Assign(source);
    return;
  }
  if (group == this) return;
  // The maps and the conditions change together: those watching hear of it once.
  TCollection* groups = Collection();
  if (groups) groups->BeginUpdate();
  try {
    fMaps->Assign(group->fMaps.get());
    SetMapConditions(group->fMapConditions);
    fDescription = group->fDescription;
  } catch (...) {
    if (groups) groups->EndUpdate();
    throw;
  }
  if (groups) groups->EndUpdate();
}

bool TvpFieldMapGroup::AppliesTo(const std::vector<String>& foldedAttrs) const {
  for (const auto& terms : fClauses) {
    const bool holds = std::any_of(terms.begin(), terms.end(), [&](const String& term) {
      return !term.empty() && std::find(foldedAttrs.begin(), foldedAttrs.end(), term) != foldedAttrs.end();
    });
    if (!holds) return false;
  }
  return true;
}

// A change of the maps is a change of this group as an item of the groups: inside a bracket of
// the groups it is held back and told once, with the rest, when the bracket closes.
void TvpFieldMapGroup::MapsChanged(TvpFieldMap* map) {
  TgpFieldMapGroups* groups = Groups();
  if (!groups || groups->UpdateCount() > 0) return;
  if (TQuickFieldMapper* mapper = groups->Mapper()) mapper->Changed(this, map);
}

// ---------------------------------------------------------------------------------------------
// TgpFieldMapGroups

ZV_DEFINE_CLASS(TgpFieldMapGroups, TOwnedCollection)

TgpFieldMapGroups::TgpFieldMapGroups(TQuickFieldMapper* mapper)
    : TOwnedCollection(mapper, TvpFieldMapGroup::StaticClass()), fMapper(mapper) {
  SetPropName("Groups");
}

TgpFieldMapGroups::~TgpFieldMapGroups() = default;

TvpFieldMapGroup* TgpFieldMapGroups::Add() { return static_cast<TvpFieldMapGroup*>(TCollection::Add()); }

void TgpFieldMapGroups::Update(TCollectionItem* item) {
  if (fMapper) fMapper->Changed(static_cast<TvpFieldMapGroup*>(item), nullptr);
}

void TgpFieldMapGroups::Notify(TCollectionItem* item, TCollectionNotification action) {
  TOwnedCollection::Notify(item, action);
  // A group that joins with its maps (moved here from elsewhere) brings their visions along.
  if (action == cnAdded && fMapper) fMapper->WatchVisions(static_cast<TvpFieldMapGroup*>(item));
}

// ---------------------------------------------------------------------------------------------
// TQuickFieldMapper

ZV_DEFINE_CLASS_WITH_PROPS(TQuickFieldMapper, TvpCustomFieldMapper)

void TQuickFieldMapper::DeclareProperties(TPropTable<TQuickFieldMapper>& t) {
  t.Prop("Groups", &TQuickFieldMapper::Groups, &TQuickFieldMapper::SetGroups);
}

TQuickFieldMapper::TQuickFieldMapper(TComponent* owner)
    : TvpCustomFieldMapper(owner),
      fControls(std::make_unique<TList>()),
      fGroups(std::make_unique<TgpFieldMapGroups>(this)) {}

TQuickFieldMapper::~TQuickFieldMapper() {
  // Announced while whole (and flagged as going) also when not destroyed through delete.
  Destroying();
  fGroups.reset();
  fControls.reset();
}

void TQuickFieldMapper::SetGroups(TgpFieldMapGroups* value) { fGroups->Assign(value); }

void TQuickFieldMapper::AddControl(TControl* control) {
  if (!control || BeingDestroyed() || IsAttached(control)) return;
  fControls->Add(control);
  // Watched from this side too, so that a control destroyed while attached never stays listed.
  FreeNotification(control);
}

void TQuickFieldMapper::RemoveControl(TControl* control) {
  if (!control || BeingDestroyed()) return;
  fControls->Remove(control);
}

bool TQuickFieldMapper::IsAttached(const TComponent* component) const {
  for (int i = 0; i < fControls->Count(); ++i)
    if (static_cast<TComponent*>(static_cast<TControl*>(fControls->Items(i))) == component) return true;
  return false;
}

TvpFieldMap* TQuickFieldMapper::FindMap(TgpFieldList* fieldList) {
  if (!fieldList) return nullptr;
  return FindMap2(fieldList->FieldNames(), fieldList->Attrs());
}

TvpFieldMap* TQuickFieldMapper::FindMap2(const String& fieldName, const String& attrs) {
  if (BeingDestroyed() || !fGroups) return nullptr;
  // Both arguments are folded once, and only when a group needs them.
  std::optional<String> key;
  std::optional<std::vector<String>> foldedAttrs;
  for (int i = 0; i < fGroups->Count(); ++i) {
    const TvpFieldMapGroup* group = fGroups->Items(i);
    if (group->HasConditions()) {
      if (!foldedAttrs) foldedAttrs = attrs.empty() ? std::vector<String>{} : FoldedItems(attrs, lioDefaultSep);
      if (!group->AppliesTo(*foldedAttrs)) continue;
    }
    if (group->Maps()->Count() == 0) continue;
    if (!key) key = NameKeyOf(fieldName);
    if (TvpFieldMapEx* map = group->Maps()->FindMapByKey(*key)) return map;
  }
  return nullptr;
}

void TQuickFieldMapper::Changed(TvpFieldMapGroup*, TvpFieldMap*) {
  if (BeingDestroyed() || !fControls || fControls->Count() == 0) return;
  // Handlers may detach, attach or destroy controls, or the mapper itself: walk a copy, check
  // each control is still attached before telling it, and stop when the mapper is gone.
  std::vector<TControl*> snapshot;
  snapshot.reserve(static_cast<std::size_t>(fControls->Count()));
  for (int i = 0; i < fControls->Count(); ++i) snapshot.push_back(static_cast<TControl*>(fControls->Items(i)));
  const std::int32_t self = ComponentToHandle(this);
  for (TControl* control : snapshot) {
    if (HandleToComponent(self) != this || BeingDestroyed()) return;
    if (!IsAttached(control) || control->ComponentState().Contains(csDestroying)) continue;
    control->Perform(CM_FIELDMAPCHANGED, 0, 0);
  }
}

void TQuickFieldMapper::Notification(TComponent* component, TOperation operation) {
  TvpCustomFieldMapper::Notification(component, operation);
  if (operation != opRemove || !component) return;
  // By pointer only: the component may be past the point where its class can be told.
  if (fGroups) {
    // The removal is announced from the component's destruction, which no exception may
    // leave: a control's handler that raises while re-mapping is reported, not passed on.
    try {
      ForgetVision(component);
    } catch (...) {
      Application->HandleException(this);
    }
  }
  if (fControls)
    for (int i = fControls->Count() - 1; i >= 0; --i)
      if (static_cast<TComponent*>(static_cast<TControl*>(fControls->Items(i))) == component) fControls->Delete(i);
}

void TQuickFieldMapper::ForgetVision(const TComponent* vision) {
  auto refersTo = [vision](const TvpFieldMapGroup* group) {
    const TvpFieldMaps* maps = group->Maps();
    for (int i = 0; i < maps->Count(); ++i)
      if (TvpFieldVision* v = maps->Items(i)->Vision(); v && static_cast<TComponent*>(v) == vision) return true;
    return false;
  };
  bool used = false;
  for (int g = 0; g < fGroups->Count() && !used; ++g) used = refersTo(fGroups->Items(g));
  if (!used) return;  // a vision no map refers to changes nothing
  fGroups->BeginUpdate();
  try {
    for (int g = 0; g < fGroups->Count(); ++g) {
      TvpFieldMapGroup* group = fGroups->Items(g);
      if (!refersTo(group)) continue;
      TvpFieldMaps* maps = group->Maps();
      maps->BeginUpdate();
      try {
        for (int i = 0; i < maps->Count(); ++i)
          if (TvpFieldVision* v = maps->Items(i)->Vision(); v && static_cast<TComponent*>(v) == vision)
            maps->Items(i)->SetVision(nullptr);
      } catch (...) {
        maps->EndUpdate();
        throw;
      }
      maps->EndUpdate();
    }
  } catch (...) {
    fGroups->EndUpdate();
    throw;
  }
  fGroups->EndUpdate();
}

void TQuickFieldMapper::WatchVisions(TvpFieldMapGroup* group) {
  const TvpFieldMaps* maps = group->Maps();
  if (!maps) return;  // a group still being built
  for (int i = 0; i < maps->Count(); ++i)
    if (TvpFieldVision* vision = maps->Items(i)->Vision()) vision->FreeNotification(this);
}

// ---------------------------------------------------------------------------------------------
// Form streaming finds the mapper and its parts by class name.

namespace {
std::vector<TClass> MapperClasses() {
  return {TQuickFieldMapper::StaticClass(), TgpFieldMapGroups::StaticClass(), TvpFieldMapGroup::StaticClass(),
          TvpFieldMaps::StaticClass(), TvpFieldMapEx::StaticClass()};
}
}  // namespace

ZV_MODULE(zvmap, {.Name = "zvmap",
                  .Initialization = [] { RegisterClasses(MapperClasses()); },
                  .Finalization = [] { UnRegisterClasses(MapperClasses()); }});

}  // namespace zv
