#pragma once
// What the mapper tests share: a probe control that follows a mapper as the edit controls and
// grids do (it attaches itself, watches the mapper, logs each CM_FIELDMAPCHANGED), and a mapper
// built from a compact description of groups and maps.

#include "platform/controls/Control.h"
#include "runtime/map/QuickFieldMapper.h"
#include "runtime/vision/FieldVision.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zvtest {

using namespace zv;

using Log = std::vector<std::string>;

class TMapProbe : public TControl {
public:
  TMapProbe(TComponent* owner, std::string id, Log* log) : TControl(owner), fId(std::move(id)), fLog(log) {}
  ~TMapProbe() override { Destroying(); }

  TvpCustomFieldMapper* Mapper() const { return fMapper; }
  // As a consumer does: attach to the new mapper, leave the old one.
  void SetMapper(TvpCustomFieldMapper* mapper) {
    if (mapper == fMapper) return;
    if (fMapper) {
      fMapper->RemoveControl(this);
      fMapper->RemoveFreeNotification(this);
    }
    fMapper = mapper;
    if (fMapper) {
      fMapper->FreeNotification(this);
      fMapper->AddControl(this);
    }
  }

  // Runs after the message is logged.
  std::function<void(TMapProbe&)> OnRemap;
  // Runs when the probe hears that its mapper goes.
  std::function<void(TMapProbe&, TvpCustomFieldMapper&)> OnMapperGoing;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_FIELDMAPCHANGED) {
      fLog->push_back(message.WParam == 0 && message.LParam == 0 ? fId : fId + " with parameters");
      if (OnRemap) OnRemap(*this);
      return;
    }
    TControl::WndProc(message);
  }
  void Notification(TComponent* component, TOperation operation) override {
    TControl::Notification(component, operation);
    if (operation == opRemove && fMapper && component == fMapper) {
      if (OnMapperGoing) OnMapperGoing(*this, *fMapper);
      fMapper = nullptr;
    }
  }

private:
  std::string fId;
  Log* fLog;
  TvpCustomFieldMapper* fMapper = nullptr;
};

struct TMapDesc {
  const char* FieldName;
  const char* Caption;
  TvpFieldVision* Vision = nullptr;
};

struct TGroupDesc {
  const char* Conditions;
  std::vector<TMapDesc> Maps;
  const char* Description = "";
};

inline void AddGroups(TQuickFieldMapper& mapper, const std::vector<TGroupDesc>& groups) {
  for (const auto& desc : groups) {
    TvpFieldMapGroup* group = mapper.Groups()->Add();
    group->SetMapConditions(desc.Conditions);
    group->SetDescription(desc.Description);
    for (const auto& m : desc.Maps) {
      TvpFieldMapEx* map = group->Maps()->Add();
      map->SetFieldName(m.FieldName);
      map->SetCaption(m.Caption);
      map->SetVision(m.Vision);
    }
  }
}

// The caption of the map found, "" when none.
inline std::string Found(TvpCustomFieldMapper& mapper, const std::string& field, const std::string& attrs) {
  TvpFieldMap* map = mapper.FindMap2(field, attrs);
  return map ? map->Caption() : std::string();
}

}  // namespace zvtest
