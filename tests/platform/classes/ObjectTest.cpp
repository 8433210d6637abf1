// The component model: class registry, Assign, ownership and names, free notification,
// collections, and published-property type information.

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zv;

namespace {

ZV_ENUM(TShade, shNone, shLight, shDark);
using TShades = TSet<TShade>;

class TSwatch : public TCollectionItem {
  ZV_CLASS(TSwatch, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  int Weight() const { return fWeight; }
  void SetWeight(int w) { fWeight = w; Changed(false); }
  void Assign(const TPersistent* source) override {
    if (auto* s = dynamic_cast<const TSwatch*>(source)) { SetWeight(s->fWeight); return; }
    TCollectionItem::Assign(source);
  }
  static void DeclareProperties(TPropTable<TSwatch>& t) { t.Prop("Weight", &TSwatch::Weight, &TSwatch::SetWeight).Default(0); }
private:
  int fWeight = 0;
};

class TSwatches : public TCollection {
public:
  TSwatches() : TCollection(TSwatch::StaticClass()) {}
  int updates = 0;
  TCollectionItem* lastUpdated = reinterpret_cast<TCollectionItem*>(1);
protected:
  void Update(TCollectionItem* item) override { ++updates; lastUpdated = item; }
};

class TProbe : public TComponent {
  ZV_CLASS(TProbe, TComponent)
public:
  using TComponent::TComponent;
  ~TProbe() override { Destroying(); }

  TComponent* Buddy() const { return fBuddy; }
  void SetBuddy(TComponent* c) {
    if (fBuddy) fBuddy->RemoveFreeNotification(this);
    fBuddy = c;
    if (c) c->FreeNotification(this);
  }
  int Count() const { return fCount; }
  void SetCount(int v) { fCount = v; }
  TShade Shade() const { return fShade; }
  void SetShade(TShade s) { fShade = s; }
  TShades Shades() const { return fShades; }
  void SetShades(TShades s) { fShades = s; }
  String Caption() const { return fCaption; }
  void SetCaption(String s) { fCaption = std::move(s); }
  bool IsCaptionStored() const { return fCaption != "skip"; }
  double Ratio() const { return fRatio; }
  void SetRatio(double r) { fRatio = r; }
  Currency Price() const { return fPrice; }
  void SetPrice(Currency c) { fPrice = c; }
  bool Active() const { return fActive; }
  void SetActive(bool b) { fActive = b; }

  static void DeclareProperties(TPropTable<TProbe>& t) {
    t.Prop("Buddy", &TProbe::Buddy, &TProbe::SetBuddy);
    t.Prop("Count", &TProbe::Count, &TProbe::SetCount).Default(7);
    t.Prop("Shade", &TProbe::Shade, &TProbe::SetShade).Default(shLight);
    t.Prop("Shades", &TProbe::Shades, &TProbe::SetShades).Default(TShades{shNone});
    t.Prop("Caption", &TProbe::Caption, &TProbe::SetCaption).Stored(&TProbe::IsCaptionStored);
    t.Prop("Ratio", &TProbe::Ratio, &TProbe::SetRatio);
    t.Prop("Price", &TProbe::Price, &TProbe::SetPrice);
    t.Prop("Active", &TProbe::Active, &TProbe::SetActive).Default(false);
  }

  std::vector<std::pair<TComponent*, TOperation>> heard;

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    heard.emplace_back(c, op);
    if (op == opRemove && c == fBuddy) fBuddy = nullptr;
  }

private:
  TComponent* fBuddy = nullptr;
  int fCount = 7;
  TShade fShade = shLight;
  TShades fShades{shNone};
  String fCaption;
  double fRatio = 0;
  Currency fPrice;
  bool fActive = false;
};

// One list, written over lines with a comment in it, gives both the type and its names.
ZV_ENUM(TTide,
        tdLow,  // the first
        tdHigh);

// Publishes under its own names accessors it inherits, as descendants publishing a base's
// protected property do.
class TProbeEx : public TProbe {
  ZV_CLASS(TProbeEx, TProbe)
public:
  using TProbe::TProbe;
  TTide Tide() const { return fTide; }
  void SetTide(TTide v) { fTide = v; }
  static void DeclareProperties(TPropTable<TProbeEx>& t) {
    t.Prop("Amount", &TProbe::Count, &TProbe::SetCount).Default(7);
    t.Prop("Title", &TProbe::Caption, &TProbe::SetCaption).Stored(&TProbe::IsCaptionStored);
    t.Prop("Tide", &TProbeEx::Tide, &TProbeEx::SetTide).Default(tdLow);
  }

private:
  TTide fTide = tdLow;
};

}  // namespace

ZV_DEFINE_CLASS_WITH_PROPS(TSwatch, TCollectionItem)
ZV_DEFINE_CLASS_WITH_PROPS(TProbe, TComponent)
ZV_DEFINE_CLASS_WITH_PROPS(TProbeEx, TProbe)

TEST(TypeInfo, InheritedAccessorsBindAndEnumNamesComeFromTheOneList) {
  TProbeEx p(nullptr);
  SetPropValue(&p, "Amount", Variant(11));
  EXPECT_EQ(p.Count(), 11);
  SetStrProp(&p, "Title", "skip");
  EXPECT_EQ(p.Caption(), "skip");
  EXPECT_FALSE(IsStoredProp(&p, GetPropInfo(&p, "Title")));
  const TTypeInfo* tide = GetPropInfo(&p, "Tide")->PropType;
  EXPECT_EQ(tide->Name, "TTide");
  EXPECT_EQ(tide->EnumNames, (std::vector<String>{"tdLow", "tdHigh"}));
  SetEnumProp(&p, "Tide", "tdHigh");
  EXPECT_EQ(p.Tide(), tdHigh);
}

TEST(ClassRegistry, FindsRegisteredClassesByNameAndWalksAncestry) {
  RegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass("tprobe"), TProbe::StaticClass());
  EXPECT_EQ(GetClass("TNothing"), nullptr);
  try {
    FindClass("TNothing");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TNothing not found");
  }
  TProbe p(nullptr);
  EXPECT_EQ(p.ClassName(), "TProbe");
  EXPECT_TRUE(p.InheritsFrom(TPersistent::StaticClass()));
  EXPECT_FALSE(p.InheritsFrom(TCollection::StaticClass()));
  std::unique_ptr<TObject> made(TProbe::StaticClass()->Factory(nullptr));
  EXPECT_EQ(made->ClassType(), TProbe::StaticClass());
  UnRegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass("TProbe"), nullptr);
}

TEST(Persistent, AssignWithoutSupportRaisesTheHostMessage) {
  TProbe a(nullptr);
  TSwatch s;
  try {
    a.Assign(&s);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TSwatch to a TProbe");
  }
  EXPECT_THROW(a.Assign(nullptr), EConvertError);
}

TEST(Component, OwnerDestroysWhatItOwnsAndNamesAreChecked) {
  auto owner = std::make_unique<TProbe>(nullptr);
  auto* a = new TProbe(owner.get());
  auto* b = new TProbe(owner.get());
  a->SetName("Alpha");
  EXPECT_EQ(owner->FindComponent("ALPHA"), a);
  EXPECT_EQ(owner->ComponentCount(), 2);
  try {
    b->SetName("alpha");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "A component named alpha already exists");
  }
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("has space"), EComponentError);
  a->SetName("ALPHA");  // renaming to itself in another case is allowed
  b->SetName("Beta");
  b->SetComponentIndex(0);
  EXPECT_EQ(owner->Components(0), b);
  EXPECT_THROW(owner->Components(5), EListError);
  delete a;  // an owned component may be destroyed first
  EXPECT_EQ(owner->ComponentCount(), 1);
  owner.reset();  // destroys Beta; the sanitizer build checks nothing leaks
}

TEST(Component, FreeNotificationClearsReferencesWhicheverGoesFirst) {
  auto holder = std::make_unique<TProbe>(nullptr);
  auto target = std::make_unique<TProbe>(nullptr);
  holder->SetBuddy(target.get());
  target.reset();
  EXPECT_EQ(holder->Buddy(), nullptr);

  target = std::make_unique<TProbe>(nullptr);
  holder->SetBuddy(target.get());
  holder.reset();  // the holder goes first; the target must forget it
  target.reset();  // would touch freed memory if it still listed the holder

  // Within one owner, the owner's broadcast reaches siblings.
  auto root = std::make_unique<TProbe>(nullptr);
  auto* h = new TProbe(root.get());
  auto* t = new TProbe(root.get());
  h->SetBuddy(t);
  delete t;
  EXPECT_EQ(h->Buddy(), nullptr);
  EXPECT_EQ(root->heard.back().second, opRemove);
}

TEST(Component, InsertionAndRemovalAreBroadcastToTheOwnersComponents) {
  TProbe root(nullptr);
  auto* first = new TProbe(&root);
  auto* second = new TProbe(&root);
  ASSERT_FALSE(first->heard.empty());
  EXPECT_EQ(first->heard.back(), std::make_pair(static_cast<TComponent*>(second), opInsert));
  root.RemoveComponent(second);
  EXPECT_EQ(first->heard.back(), std::make_pair(static_cast<TComponent*>(second), opRemove));
  EXPECT_EQ(second->Owner(), nullptr);
  delete second;
}

TEST(Collection, ItemsMoveChangeAndAssign) {
  TSwatches a;
  auto* s0 = static_cast<TSwatch*>(a.Add());
  auto* s1 = static_cast<TSwatch*>(a.Add());
  s0->SetWeight(3);
  EXPECT_EQ(a.lastUpdated, s0);
  s1->SetIndex(0);
  EXPECT_EQ(a.Items(0), s1);
  EXPECT_EQ(s0->Index(), 1);
  EXPECT_EQ(s0->ID(), 0);
  EXPECT_EQ(s1->ID(), 1);
  EXPECT_EQ(a.FindItemID(1), s1);

  a.updates = 0;
  a.BeginUpdate();
  a.Add();
  a.Add();
  EXPECT_EQ(a.updates, 0);
  a.EndUpdate();
  EXPECT_EQ(a.updates, 1);  // one report for the whole bracket

  TSwatches b;
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 4);
  EXPECT_EQ(b.ItemAs<TSwatch>(1)->Weight(), 3);
  delete b.Items(0);  // deleting an item takes it out
  EXPECT_EQ(b.Count(), 3);
  EXPECT_THROW(b.Delete(3), EListError);
  EXPECT_THROW(TCollection bad(TProbe::StaticClass()), EConvertError);
}

TEST(TypeInfo, PropertiesAreListedInheritedAndAccessibleByName) {
  const auto& props = GetPropInfos(TProbe::StaticClass());
  ASSERT_GE(props.size(), 9u);
  EXPECT_EQ(props[0]->Name, "Tag");  // the ancestor's first
  EXPECT_EQ(GetPropInfo(TProbe::StaticClass(), "count")->Default, 7);

  TProbe p(nullptr);
  SetEnumProp(&p, "Shade", "shDark");
  EXPECT_EQ(p.Shade(), shDark);
  EXPECT_EQ(GetEnumProp(&p, "Shade"), "shDark");
  EXPECT_THROW(SetEnumProp(&p, "Shade", "shPurple"), EPropertyConvertError);
  SetSetProp(&p, "Shades", "[shLight, shDark]");
  EXPECT_EQ(p.Shades(), (TShades{shLight, shDark}));
  EXPECT_EQ(GetSetProp(&p, "Shades"), "[shLight,shDark]");
  EXPECT_THROW(SetSetProp(&p, "Shades", "[shLight, bogus]"), EPropertyConvertError);

  SetPropValue(&p, "Count", Variant(42));
  EXPECT_EQ(GetPropValue(&p, "Count").AsInteger(), 42);
  SetPropValue(&p, "Caption", Variant(String("Привет")));
  EXPECT_EQ(GetStrProp(&p, "Caption"), "Привет");
  SetPropValue(&p, "Active", Variant(true));
  EXPECT_TRUE(p.Active());
  SetPropText(&p, GetPropInfo(&p, "Ratio"), "2.5");
  EXPECT_DOUBLE_EQ(p.Ratio(), 2.5);
  SetPropText(&p, GetPropInfo(&p, "Price"), "922337203685477.5807");
  EXPECT_EQ(p.Price().Value, INT64_MAX);  // currency survives the float path exactly
  EXPECT_EQ(GetPropText(&p, GetPropInfo(&p, "Price")), "922337203685477.5807");
  EXPECT_THROW(GetPropValue(&p, "Missing"), EPropertyError);
  // A float that no currency can hold is an error, never a wrapped value.
  EXPECT_THROW(SetFloatProp(&p, "Price", std::numeric_limits<long double>::quiet_NaN()), EOverflow);
  EXPECT_THROW(SetFloatProp(&p, "Price", 1e300L), EOverflow);
  EXPECT_EQ(p.Price().Value, INT64_MAX);

  TProbe other(nullptr);
  SetObjectProp(&p, "Buddy", &other);
  EXPECT_EQ(p.Buddy(), &other);
  EXPECT_TRUE(GetPropInfo(&p, "Buddy")->PropType->IsComponentReference);
  TSwatches notAComponent;
  EXPECT_THROW(SetObjectProp(&p, "Buddy", &notAComponent), EPropertyConvertError);
  p.SetBuddy(nullptr);
}

TEST(TypeInfo, StoredConditionsAndDefaults) {
  TProbe p(nullptr);
  const TPropInfo* caption = GetPropInfo(&p, "Caption");
  EXPECT_TRUE(IsStoredProp(&p, caption));
  p.SetCaption("skip");
  EXPECT_FALSE(IsStoredProp(&p, caption));
  EXPECT_EQ(GetPropInfo(&p, "Shades")->Default, 1);  // {shNone}
  EXPECT_EQ(GetPropInfo(&p, "Caption")->Default, NoDefault);
}
