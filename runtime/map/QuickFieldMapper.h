#pragma once
// TQuickFieldMapper: the mapper a form holds, with groups of maps edited at design time. A group
// applies to a control when each of its ";"-separated clauses has a ","-separated term among the
// control's attribute words; the first applying group with a map for the field wins. Any change
// of a map, a group or the groups is told to every attached control (CM_FIELDMAPCHANGED).
//
// Names are folded into lookup keys once, when they are set: a lookup folds its own arguments
// once and then compares keys, so a re-map of many columns stays cheap.

#include "platform/classes/Lists.h"
#include "runtime/map/FieldMap.h"

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zv {

class TvpFieldMaps;
class TvpFieldMapGroup;
class TgpFieldMapGroups;
class TQuickFieldMapper;

// A map of a quick field mapper: the mapper it belongs to is told when the map's vision goes.
class TvpFieldMapEx : public TvpFieldMap {
  ZV_CLASS(TvpFieldMapEx, TvpFieldMap)

public:
  explicit TvpFieldMapEx(TCollection* collection = nullptr);
  ~TvpFieldMapEx() override;

  // The maps, group, groups and mapper this map belongs to; null where the chain stops.
  TvpFieldMaps* Maps() const;
  TQuickFieldMapper* Mapper() const;

protected:
  void VisionChanged(TvpFieldVision* vision) override;
  void FieldNameChanged() override;

private:
  friend class TvpFieldMaps;
  const String& NameKey() const;

  mutable String fNameKey;
  mutable bool fNameKeyValid = false;
};

// The maps of one group.
class TvpFieldMaps : public TOwnedCollection {
  ZV_CLASS(TvpFieldMaps, TOwnedCollection)

public:
  explicit TvpFieldMaps(TvpFieldMapGroup* group = nullptr);
  ~TvpFieldMaps() override;

  TvpFieldMapEx* Add();
  TvpFieldMapEx* Items(int index) const { return ItemAs<TvpFieldMapEx>(index); }
  TvpFieldMapGroup* Group() const { return fGroup; }
  // The first map whose FieldName equals fieldName ignoring case (Unicode), or null.
  TvpFieldMapEx* FindMap(std::string_view fieldName) const;

protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  friend class TvpFieldMapEx;
  friend class TQuickFieldMapper;
  // Lookup by a key made with the same folding as the maps' names.
  TvpFieldMapEx* FindMapByKey(const String& key) const;
  void InvalidateIndex() { fIndexValid = false; }

  TvpFieldMapGroup* fGroup;
  // Key -> maps of that name; several maps may share a name and the first in order wins. Built
  // on the first lookup after a change of names or membership; moves need no rebuild.
  mutable std::unordered_multimap<String, TvpFieldMapEx*> fIndex;
  mutable bool fIndexValid = false;
};

// A group of maps and the attribute words it needs to apply.
class TvpFieldMapGroup : public TCollectionItem {
  ZV_CLASS(TvpFieldMapGroup, TCollectionItem)

public:
  explicit TvpFieldMapGroup(TCollection* collection = nullptr);
  ~TvpFieldMapGroup() override;

  TvpFieldMaps* Maps() const { return fMaps.get(); }
  // Copies the maps of value.
  void SetMaps(TvpFieldMaps* value);
  const String& MapConditions() const { return fMapConditions; }
  void SetMapConditions(const String& value);
  // Shown at design time; changing it is not a change of the mapping.
  const String& Description() const { return fDescription; }
  void SetDescription(const String& value) { fDescription = value; }

  TgpFieldMapGroups* Groups() const;
  TQuickFieldMapper* Mapper() const;

  // Description, or the default item name when there is none.
  String DisplayName() const override;
  // Copies maps, conditions and description from another group, reporting one change.
  void Assign(const TPersistent* source) override;

  // Whether the conditions hold for attribute words already split and case-folded.
  bool AppliesTo(const std::vector<String>& foldedAttrs) const;
  bool HasConditions() const { return !fMapConditions.empty(); }

  static void DeclareProperties(TPropTable<TvpFieldMapGroup>& t);

private:
  friend class TvpFieldMaps;
  void MapsChanged(TvpFieldMap* map);

  std::unique_ptr<TvpFieldMaps> fMaps;
  String fMapConditions;
  String fDescription;
  // The conditions split into clauses of case-folded terms; an empty term never matches.
  std::vector<std::vector<String>> fClauses;
};

// The groups of a mapper, in priority order.
class TgpFieldMapGroups : public TOwnedCollection {
  ZV_CLASS(TgpFieldMapGroups, TOwnedCollection)

public:
  explicit TgpFieldMapGroups(TQuickFieldMapper* mapper = nullptr);
  ~TgpFieldMapGroups() override;

  TvpFieldMapGroup* Add();
  TvpFieldMapGroup* Items(int index) const { return ItemAs<TvpFieldMapGroup>(index); }
  TQuickFieldMapper* Mapper() const { return fMapper; }

protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  TQuickFieldMapper* fMapper;
};

class TQuickFieldMapper : public TvpCustomFieldMapper {
  ZV_CLASS(TQuickFieldMapper, TvpCustomFieldMapper)

public:
  explicit TQuickFieldMapper(TComponent* owner);
  ~TQuickFieldMapper() override;

  // The attached controls, in attachment order (not owned).
  TList* Controls() const { return fControls.get(); }
  TgpFieldMapGroups* Groups() const { return fGroups.get(); }
  // Copies the groups of value.
  void SetGroups(TgpFieldMapGroups* value);

  // A control is listed once; both are ignored while the mapper is being destroyed.
  void AddControl(TControl* control) override;
  void RemoveControl(TControl* control) override;
  TvpFieldMap* FindMap(TgpFieldList* fieldList) override;
  TvpFieldMap* FindMap2(const String& fieldName, const String& attrs) override;

  // Sends CM_FIELDMAPCHANGED to every attached control, in order. A control detached or
  // destroyed by an earlier control's handler is skipped; a handler's exception ends the round.
  virtual void Changed(TvpFieldMapGroup* group, TvpFieldMap* map);

  static void DeclareProperties(TPropTable<TQuickFieldMapper>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TvpFieldMapEx;
  friend class TgpFieldMapGroups;
  bool BeingDestroyed() const { return ComponentState().Contains(csDestroying); }
  bool IsAttached(const TComponent* component) const;
  // Clears the vision from every map that refers to it; one report for all of them.
  void ForgetVision(const TComponent* vision);
  // Asks the visions of the group's maps to tell this mapper when they go.
  void WatchVisions(TvpFieldMapGroup* group);

  std::unique_ptr<TList> fControls;
  std::unique_ptr<TgpFieldMapGroups> fGroups;
};

}  // namespace zv
