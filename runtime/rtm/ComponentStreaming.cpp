#include "runtime/rtm/ComponentStreaming.h"

#include "platform/classes/FormText.h"

#include <cstdint>
#include <span>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TUniDataStorage, TComponent)

void TUniDataStorage::DeclareProperties(TPropTable<TUniDataStorage>& t) {
  t.Prop("Description", &TUniDataStorage::Description, &TUniDataStorage::SetDescription);
  t.Prop("Data", &TUniDataStorage::Data, &TUniDataStorage::SetData);
}

namespace {

std::span<const std::uint8_t> AsBytes(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

String ComponentToStr(TComponent& component, bool asText) {
  if (asText) return ComponentToText(&component);
  const std::vector<std::uint8_t> bytes = ComponentToBinary(&component);
  return String(bytes.begin(), bytes.end());
}

TComponent* StrToComponent(TComponent& component, std::string_view s, bool asText) {
  if (s.empty()) return nullptr;
  return asText ? TextToComponent(s, &component) : BinaryToComponent(AsBytes(s), &component);
}

std::unique_ptr<TComponent> CreateComponentFromStr(std::string_view s, bool asText) {
  if (s.empty()) return nullptr;
  return std::unique_ptr<TComponent>(asText ? TextToComponent(s) : BinaryToComponent(AsBytes(s)));
}

String ObjectToStr(TPersistent& object, const String& description, bool asText) {
  if (auto* component = dynamic_cast<TComponent*>(&object)) return ComponentToStr(*component, asText);
  TUniDataStorage storage(nullptr);
  storage.SetDescription(description);
  storage.SetData(&object);
  return ComponentToStr(storage, asText);
}

TPersistent* StrToObject(TPersistent& object, std::string_view s, bool asText, String* description) {
  if (description) description->clear();
  if (s.empty()) return nullptr;
  if (auto* component = dynamic_cast<TComponent*>(&object)) return StrToComponent(*component, s, asText);
  TUniDataStorage storage(nullptr);
  storage.SetData(&object);
  StrToComponent(storage, s, asText);
  if (description) *description = storage.Description();
  return &object;
}

}  // namespace zv
