// The shared tables, TvpList ownership, TChildFont, component streaming through a string and
// GetRecordNumber.

#include "platform/classes/Parser.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Exceptions.h"
#include "runtime/rtm/ChildFont.h"
#include "runtime/rtm/ComponentStreaming.h"
#include "runtime/rtm/DataSetRoutines.h"
#include "runtime/rtm/RtmTypes.h"
#include "runtime/rtm/VpList.h"
#include "runtime/rtm/ZvErrors.h"

#include <gtest/gtest.h>

using namespace zv;

namespace {

class TCounted : public TObject {
public:
  explicit TCounted(int& alive) : fAlive(alive) { ++fAlive; }
  ~TCounted() override { --fAlive; }

private:
  int& fAlive;
};

class TStreamProbe : public TComponent {
  ZV_CLASS(TStreamProbe, TComponent)

public:
  explicit TStreamProbe(TComponent* owner) : TComponent(owner) {}
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& v) { fCaption = v; }
  int Value() const { return fValue; }
  void SetValue(int v) { fValue = v; }
  static void DeclareProperties(TPropTable<TStreamProbe>& t) {
    t.Prop("Caption", &TStreamProbe::Caption, &TStreamProbe::SetCaption);
    t.Prop("Value", &TStreamProbe::Value, &TStreamProbe::SetValue).Default(0);
  }

private:
  String fCaption;
  int fValue = 0;
};

}  // namespace

ZV_DEFINE_CLASS_WITH_PROPS(TStreamProbe, TComponent)

TEST(RtmTypesTest, ConstantTables) {
  EXPECT_EQ(Alignments[taLeftJustify], 0x800u);
  EXPECT_EQ(Alignments[taRightJustify], 0x802u);
  EXPECT_EQ(Alignments[taCenter], 0x801u);
  EXPECT_EQ(BooleanMapper[false], 0);
  EXPECT_EQ(BooleanMapper[true], 1);
  EXPECT_EQ(GetEnumName(TypeInfoOf<TvpBorderStyle>(), bsMonoExt), "bsMonoExt");
  EXPECT_EQ(GetEnumName(TypeInfoOf<TImageLayout>(), ilCenter), "ilCenter");
}

TEST(VpListTest, OwnedObjectsAreFreedWhenDropped) {
  int alive = 0;
  {
    TvpList list;
    EXPECT_TRUE(list.OwnsItems());
    EXPECT_FALSE(list.ItemsAreObjects());
    list.SetItemsAreObjects(true);
    for (int i = 0; i < 5; ++i) list.Add(new TCounted(alive));
    EXPECT_EQ(alive, 5);
    list.Delete(1);
    EXPECT_EQ(alive, 4);
    EXPECT_EQ(list.Count(), 4);
    auto* kept = static_cast<TCounted*>(list.Items(0));
    list.Extract(kept);  // extracting hands the item back
    EXPECT_EQ(alive, 4);
    delete kept;
    list.SetItems(0, new TCounted(alive));  // replacing frees the old item
    EXPECT_EQ(alive, 3);
    EXPECT_THROW(list.Delete(7), EListError);
    list.Clear();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(list.Count(), 0);
    list.Add(new TCounted(alive));
    list.Add(nullptr);
  }
  EXPECT_EQ(alive, 0);  // destruction clears

  TCounted outside(alive);
  {
    TvpList list;
    list.SetOwnsItems(false);
    list.Add(&outside);
    list.Delete(0);
    list.Add(&outside);
  }
  EXPECT_EQ(alive, 1);
}

TEST(VpListTest, RawItemsNeedADeleter) {
  TvpList list;
  int raw = 0;
  EXPECT_THROW(list.Add(&raw), EZVError);
  EXPECT_THROW(list.Insert(0, &raw), EZVError);
  EXPECT_EQ(list.Count(), 0);
  list.Add(nullptr);  // nothing to free
  EXPECT_THROW(list.SetItems(0, &raw), EZVError);
  EXPECT_EQ(list.Items(0), nullptr);

  std::vector<void*> freed;
  list.ItemDeleter = [&](void* p) { freed.push_back(p); };
  int a = 0, b = 0;
  list.Add(&a);
  list.Add(&b);  // after the null item at 0
  list.Delete(2);
  EXPECT_EQ(freed, std::vector<void*>{&b});
  list.Clear();
  EXPECT_EQ(freed, (std::vector<void*>{&b, &a}));

  TvpList notOwning;
  notOwning.SetOwnsItems(false);
  notOwning.Add(&raw);  // not owned: any pointer will do
  EXPECT_EQ(notOwning.Count(), 1);
}

TEST(ChildFontTest, SettersNotifyOnlyOnRealChange) {
  TChildFont f;
  EXPECT_EQ(f.Name(), "");
  EXPECT_EQ(f.Color(), clNone);
  EXPECT_TRUE(f.Style().Empty());
  EXPECT_TRUE(f.IsEmpty());
  int changes = 0;
  f.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &f);
    ++changes;
  };
  f.SetName("Arial");
  f.SetName("Arial");
  f.SetColor(clRed);
  f.SetColor(clRed);
  f.SetStyle(TFontStyles{fsBold});
  f.SetStyle(TFontStyles{fsBold});
  EXPECT_EQ(changes, 3);
  f.SetName("arial");  // names are case-sensitive
  EXPECT_EQ(changes, 4);

  TChildFont same;
  same.Assign(&f);
  EXPECT_TRUE(same.Equals(f));
  f.Assign(&same);  // nothing new
  EXPECT_EQ(changes, 4);
  same.SetName("Arial");
  EXPECT_FALSE(same.Equals(f));
  f.Assign(&same);
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(f.Equals(same));
}

TEST(ChildFontTest, CopyToWritesOnlyWhatIsSet) {
  TFont font;
  font.SetName("DejaVu Serif");
  font.SetColor(clBlue);
  font.SetStyle(TFontStyles{fsItalic});
  int fontChanges = 0;
  font.OnChange = [&](TObject*) { ++fontChanges; };
  TChildFont empty;
  empty.CopyTo(font);
  EXPECT_EQ(fontChanges, 0);
  EXPECT_EQ(font.Name(), "DejaVu Serif");
  EXPECT_EQ(font.Color(), clBlue);
  EXPECT_EQ(font.Style(), TFontStyles{fsItalic});

  TChildFont colourOnly;
  colourOnly.SetColor(clMaroon);
  colourOnly.CopyTo(font);
  EXPECT_EQ(font.Name(), "DejaVu Serif");
  EXPECT_EQ(font.Color(), clMaroon);
  EXPECT_EQ(font.Style(), TFontStyles{fsItalic});

  TChildFont all;
  all.Assign(&font);
  EXPECT_EQ(all.Name(), "DejaVu Serif");
  EXPECT_EQ(all.Color(), clMaroon);
  EXPECT_EQ(all.Style(), TFontStyles{fsItalic});
  TStreamProbe stranger(nullptr);
  EXPECT_THROW(all.Assign(&stranger), EConvertError);
  EXPECT_EQ(all.Color(), clMaroon);
}

TEST(ComponentStreamingTest, ComponentRoundTripsAsTextAndBinary) {
  RegisterClass(TStreamProbe::StaticClass());
  TStreamProbe source(nullptr);
  source.SetName("Probe");
  source.SetCaption("Grüße; 'quoted'");
  source.SetValue(-42);
  for (bool asText : {true, false}) {
    const String s = ComponentToStr(source, asText);
    if (asText) {
      EXPECT_NE(s.find("object Probe: TStreamProbe"), String::npos);
    } else {
      EXPECT_EQ(s.substr(0, 4), "TPF0");
    }
    TStreamProbe target(nullptr);
    EXPECT_EQ(StrToComponent(target, s, asText), &target);
    EXPECT_EQ(target.Caption(), source.Caption()) << asText;
    EXPECT_EQ(target.Value(), -42) << asText;
    auto created = CreateComponentFromStr(s, asText);
    auto* probe = dynamic_cast<TStreamProbe*>(created.get());
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->Caption(), source.Caption());
    TStreamProbe untouched(nullptr);
    EXPECT_EQ(StrToComponent(untouched, "", asText), nullptr);
    EXPECT_EQ(CreateComponentFromStr("", asText), nullptr);
  }
  TStreamProbe target(nullptr);
  EXPECT_THROW(StrToComponent(target, "not a form", false), Exception);
  EXPECT_THROW(StrToComponent(target, "object X: TStreamProbe\n Value = \n", true), EParserError);
}

TEST(ComponentStreamingTest, PlainObjectsTravelInTheCarrier) {
  TChildFont font;
  font.SetName("Mono");
  font.SetColor(clGreen);
  font.SetStyle(TFontStyles{fsBold, fsUnderline});
  for (bool asText : {true, false}) {
    const String s = ObjectToStr(font, "title font", asText);
    if (asText) {
      EXPECT_NE(s.find("TUniDataStorage"), String::npos);
      EXPECT_NE(s.find("Description = 'title font'"), String::npos);
    }
    TChildFont back;
    String description;
    EXPECT_EQ(StrToObject(back, s, asText, &description), &back);
    EXPECT_TRUE(back.Equals(font)) << asText;
    EXPECT_EQ(description, "title font");
    EXPECT_EQ(StrToObject(back, "", asText, &description), nullptr);
    EXPECT_EQ(description, "");
  }
  // A component is streamed as itself, the description is not used.
  RegisterClass(TStreamProbe::StaticClass());
  TStreamProbe probe(nullptr);
  probe.SetValue(7);
  const String s = ObjectToStr(probe, "ignored", true);
  EXPECT_EQ(s.find("TUniDataStorage"), String::npos);
  TStreamProbe back(nullptr);
  String description = "x";
  EXPECT_EQ(StrToObject(back, s, true, &description), &back);
  EXPECT_EQ(back.Value(), 7);
  EXPECT_EQ(description, "");
}

TEST(DataSetRoutinesTest, GetRecordNumberKeepsTheCursor) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("ID", ftInteger);
  table.CreateDataSet();
  EXPECT_EQ(GetRecordNumber(table), -1);
  for (int i = 1; i <= 6; ++i) {
    table.Append();
    table.FieldByName("ID")->SetAsInteger(i);
    table.Post();
  }
  table.First();
  EXPECT_EQ(GetRecordNumber(table), 0);
  table.MoveBy(3);
  EXPECT_EQ(GetRecordNumber(table), 3);
  EXPECT_EQ(table.FieldByName("ID")->AsInteger(), 4);
  table.Last();
  EXPECT_EQ(GetRecordNumber(table), 5);
  EXPECT_EQ(table.FieldByName("ID")->AsInteger(), 6);
  EXPECT_FALSE(table.ControlsDisabled());
}
