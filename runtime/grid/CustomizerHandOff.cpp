// The grid's side of the column customizer: the lists Customize hands over, the private message
// the customizer talks back with (attaching and detaching its window, forwarding every action,
// the application's event), and the customizer windows attached to any grid, library-wide.
#include "platform/controls/Form.h"
#include "platform/db/Field.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace zv {

TgpShowCustomizer ShowGridCustomizer = nullptr;

namespace {

std::vector<const TWinControl*>& CustomizerWindows() {
  static std::vector<const TWinControl*> windows;
  return windows;
}

void Forget(const TWinControl* window) {
  auto& windows = CustomizerWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

std::vector<String> SplitNames(const String& list) {
  std::vector<String> names;
  String item;
  for (char ch : list + ";") {
    if (ch != ';') {
      item += ch;
      continue;
    }
    const auto first = item.find_first_not_of(' ');
    if (first != String::npos) names.push_back(item.substr(first, item.find_last_not_of(' ') - first + 1));
    item.clear();
  }
  return names;
}

bool Listed(const std::vector<String>& names, const String& name) {
  return std::any_of(names.begin(), names.end(), [&](const String& n) { return SameText(n, name); });
}

void Append(String& list, const String& item) {
  if (!list.empty()) list += ';';
  list += item;
}

// A name's key for lookups that ignore case: the plain ASCII fold unless the name needs more.
String NameKey(const String& name) {
  const bool ascii = std::all_of(name.begin(), name.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
  return ascii ? UpperCase(name) : AnsiUpperCase(name);
}

// A name holding the list separator cannot be told apart from two names: it is not offered. A
// caption holding it would shift every later caption against its name.
bool Nameable(const String& name) { return name.find(';') == String::npos; }
String ListSafe(String caption) {
  std::replace(caption.begin(), caption.end(), ';', ',');
  return caption;
}

}  // namespace

bool IsCustomizerWindow(const TWinControl* window) {
  const auto& windows = CustomizerWindows();
  return window && std::find(windows.begin(), windows.end(), window) != windows.end();
}

TWinControl* TDBDivoRud::CustomizerWindow() const { return d->CustomizerWindow; }

void TDBDivoRud::ForgetCustomizer() {
  if (!d->CustomizerWindow) return;
  Forget(d->CustomizerWindow);
  d->CustomizerWindow->RemoveFreeNotification(this);
  d->CustomizerWindow = nullptr;
}

void TDBDivoRud::Customize(TgpCustomizeMode mode, const String& excludeFields, const String& fields) {
  if (!d->DataSet || !ShowGridCustomizer) return;
  CloseEdit(feaPost, false);
  if (d->DataSet->State() == dsEdit || d->DataSet->State() == dsInsert) d->DataSet->Post();
  const std::vector<String> excluded = SplitNames(excludeFields);
  String names, captions, present;
  const TgpColumns& columns = *d->Columns;
  if (mode == gcmHide) {
    for (int i = 0; i < columns.Count(); ++i) {
      const TgpColumn* c = columns.Items(i);
      if (c->OptionsBehavior().Contains(cboNoCustomizing) || !Nameable(c->FieldName()) ||
          Listed(excluded, c->FieldName()))
        continue;
      Append(names, c->FieldName());
      Append(captions, ListSafe(c->TitleCaption()));
      if (c->Visible()) Append(present, c->FieldName());
    }
  } else {
    // Each name with its field, when it names one; fields are looked up once each, since a
    // search per name would grow with the square of a wide dataset.
    std::vector<std::pair<String, const TField*>> listed;
    const TDataSet& dataSet = *d->DataSet;
    const std::vector<String> asked = SplitNames(fields);
    if (asked.empty()) {
      for (int i = 0; i < dataSet.FieldCount(); ++i) {
        const TField* field = dataSet.Fields().Fields(i);
        listed.emplace_back(field->FieldName(), field);
      }
    } else {
      std::unordered_map<String, const TField*> byName;
      for (int i = 0; i < dataSet.FieldCount(); ++i) {
        const TField* field = dataSet.Fields().Fields(i);
        byName.emplace(NameKey(field->FieldName()), field);
      }
      for (const String& name : asked) {
        const auto it = byName.find(NameKey(name));
        listed.emplace_back(name, it != byName.end() ? it->second : nullptr);
      }
    }
    names.reserve(listed.size() * 12);
    captions.reserve(listed.size() * 12);
    for (const auto& [name, field] : listed) {
      if (!Nameable(name) || (!excluded.empty() && Listed(excluded, name))) continue;
      Append(names, name);
      if (d->Mapper)
        Append(captions, ListSafe(GetFieldCaptions(name)));
      else
        Append(captions, ListSafe(field ? field->DisplayName() : name));
    }
    for (int i = 0; i < columns.Count(); ++i)
      if (columns.Items(i)->Visible()) Append(present, columns.Items(i)->FieldName());
  }
  ShowGridCustomizer(this, names, captions, mode, present);
}

void TDBDivoRud::CMCustomizer(TMessage& message) {
  message.Result = 0;
  if (message.WParam > static_cast<WPARAM>(gcaDragDrop)) return;
  const auto action = static_cast<TgpCustomizerAction>(message.WParam);
  auto* object = reinterpret_cast<TObject*>(message.LParam);
  TgpColumn* column = nullptr;
  switch (action) {
    case gcaStart: {
      auto* form = dynamic_cast<TCustomForm*>(object);
      if (!form) return;
      if (form != d->CustomizerWindow) {
        ForgetCustomizer();
        d->CustomizerWindow = form;
        CustomizerWindows().push_back(form);
        form->FreeNotification(this);
      }
      break;
    }
    case gcaFinish:
      ForgetCustomizer();
      break;
    case gcaBeforeAddColumn:
    case gcaRemoveColumn:
    case gcaShowColumn:
    case gcaHideColumn:
      column = dynamic_cast<TgpColumn*>(object);
      if (!column) return;
      break;
    case gcaAddColumn: column = dynamic_cast<TgpColumn*>(object); break;
    default: break;
  }
  // The customizer frees the column it removes: the application hears of it first.
  const bool eventFirst = action == gcaRemoveColumn;
  if (eventFirst && OnCustomizerAction) OnCustomizerAction(this, action, column);
  if (d->CustomizerWindow && action != gcaStart)
    message.Result = d->CustomizerWindow->Perform(CM_CUSTOMIZER, message.WParam, message.LParam);
  if (!eventFirst && OnCustomizerAction) OnCustomizerAction(this, action, column);
}

}  // namespace zv
