// The mapper contract: captions for a list of fields from the maps, else the dataset.
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "runtime/map/FieldMap.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace zv;

// A mapper that knows captions by field name and ignores attributes.
class TCaptionMapper : public TvpCustomFieldMapper {
public:
  class TMap : public TvpFieldMap {
  public:
    using TvpFieldMap::TvpFieldMap;
    void VisionChanged(TvpFieldVision*) override {}
  };
  using TvpCustomFieldMapper::TvpCustomFieldMapper;
  void AddControl(TControl*) override {}
  void RemoveControl(TControl*) override {}
  TvpFieldMap* FindMap(TgpFieldList*) override { return nullptr; }
  TvpFieldMap* FindMap2(const String& fieldName, const String&) override {
    auto it = maps.find(fieldName);
    return it == maps.end() ? nullptr : &it->second;
  }
  void Add(const String& name, const String& caption) {
    auto& map = maps.try_emplace(name).first->second;
    map.SetFieldName(name);
    map.SetCaption(caption);
  }
  std::map<String, TMap> maps;
};

TEST(FieldMapCaptions, MapCaptionThenDisplayLabelThenTheNameItself) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("AGE", ftInteger);
  table.FieldDefs().Add("CITY", ftString, 20);
  table.CreateDataSet();
  table.FieldByName("CITY")->SetDisplayLabel("Town");
  TCaptionMapper mapper(nullptr);
  mapper.Add("AGE", "Âge");

  EXPECT_EQ(mapper.GetFieldCaptions("AGE;CITY;NOPE", "", &table), "Âge;Town;NOPE");
  EXPECT_EQ(mapper.GetFieldCaptions("AGE;CITY", "", nullptr), "Âge;CITY");
  EXPECT_EQ(mapper.GetFieldCaptions("", "", &table), "");
}

TEST(FieldMapCaptions, DisplayNameJoinsCaptionAndField) {
  TCaptionMapper::TMap map;
  map.SetFieldName("NAME");
  map.SetCaption("Full name");
  EXPECT_EQ(map.DisplayName(), "Full name : NAME");
}

}  // namespace
