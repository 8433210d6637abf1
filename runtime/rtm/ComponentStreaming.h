#pragma once
// Components and other persistent objects kept in one string, through the component streaming
// of the classes layer: the binary form as bytes in the string, or its textual form.
// Streaming errors (EReadError, EParserError, EClassNotFound, ...) pass through unchanged.

#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"

#include <memory>
#include <string_view>

namespace zv {

// The carrier of an object that is not a component: Data is streamed as a part of it. The
// carrier refers to Data; it never owns it.
class TUniDataStorage : public TComponent {
  ZV_CLASS(TUniDataStorage, TComponent)

public:
  explicit TUniDataStorage(TComponent* owner) : TComponent(owner) {}

  const String& Description() const { return fDescription; }
  void SetDescription(const String& value) { fDescription = value; }
  TPersistent* Data() const { return fData; }
  void SetData(TPersistent* value) { fData = value; }

  static void DeclareProperties(TPropTable<TUniDataStorage>& t);

private:
  String fDescription;
  TPersistent* fData = nullptr;
};

String ComponentToStr(TComponent& component, bool asText);
// Reads s into component and returns it; an empty s reads nothing and returns null.
TComponent* StrToComponent(TComponent& component, std::string_view s, bool asText);
// A new component of the class s names (registered); null for an empty s.
std::unique_ptr<TComponent> CreateComponentFromStr(std::string_view s, bool asText);

// A component is streamed directly; any other object inside a TUniDataStorage with description.
String ObjectToStr(TPersistent& object, const String& description, bool asText);
// Reads s into object and returns it (null for an empty s); description receives the carrier's
// Description when wanted (empty for a component).
TPersistent* StrToObject(TPersistent& object, std::string_view s, bool asText, String* description = nullptr);

}  // namespace zv
