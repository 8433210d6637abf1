// What the grid, its columns, the visions and the object dataset rely on in the component
// model: removal announced while the component is whole, collections that behave as the host's,
// published methods and event properties, property lists in the host's order, publishing in
// descendants, and handles of live components.

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormText.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace zv;

namespace {

// --- Removal while whole ---------------------------------------------------------------------

// A component with state of its own (a heap string, so that the sanitizers see a use after its
// destructor) that others call when told it goes.
class TWidget : public TComponent {
  ZV_CLASS(TWidget, TComponent)
public:
  using TComponent::TComponent;
  virtual String Describe() const { return fLabel + (ComponentState().Contains(csDestroying) ? " (going)" : ""); }
  String fLabel = String(40, 'w');
};

class TFancyWidget : public TWidget {
  ZV_CLASS(TFancyWidget, TWidget)
public:
  using TWidget::TWidget;
  String Describe() const override { return fExtra + " " + TWidget::Describe(); }
  String fExtra = "fancy, with a label long enough to live on the heap";
};

class TWatcher : public TComponent {
  ZV_CLASS(TWatcher, TComponent)
public:
  using TComponent::TComponent;
  void Watch(TWidget* w) {
    fWatched = w;
    w->FreeNotification(this);
  }
  std::vector<String> told;
  TWidget* fWatched = nullptr;

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op != opRemove) return;
    if (auto* fancy = dynamic_cast<TFancyWidget*>(c)) told.push_back(fancy->Describe());
    else if (auto* w = dynamic_cast<TWidget*>(c)) told.push_back(w->Describe());
    if (c == fWatched) fWatched = nullptr;
  }
};

TEST(Removal, HandlersSeeTheWholeComponentWhileItGoes) {
  const String fancy = "fancy, with a label long enough to live on the heap " + String(40, 'w') + " (going)";
  // Watched through free notification, destroyed by delete.
  {
    TWatcher watcher(nullptr);
    auto* w = new TFancyWidget(nullptr);
    watcher.Watch(w);
    delete w;
    EXPECT_EQ(watcher.told, std::vector<String>{fancy});
    EXPECT_EQ(watcher.fWatched, nullptr);
  }
  // A sibling under one owner, destroyed through a unique_ptr and by the owner.
  {
    auto root = std::make_unique<TComponent>(nullptr);
    auto* watcher = new TWatcher(root.get());
    std::unique_ptr<TFancyWidget> w(new TFancyWidget(root.get()));
    w.reset();
    EXPECT_EQ(watcher->told, std::vector<String>{fancy});
    auto* other = new TFancyWidget(nullptr);
    watcher->Watch(other);
    auto* owner = new TComponent(nullptr);
    owner->InsertComponent(other);
    delete owner;  // destroys other in turn
    EXPECT_EQ(watcher->told.size(), 2u);
    EXPECT_EQ(watcher->told.back(), fancy);
  }
}

// --- Collections -----------------------------------------------------------------------------

class TColumnsOwner;

class TColumn : public TCollectionItem {
  ZV_CLASS(TColumn, TCollectionItem)
public:
  explicit TColumn(TCollection* collection);
  TColumnsOwner* ownerSeenInConstructor = nullptr;
  int Width() const { return fWidth; }
  void SetWidth(int w) { fWidth = w; Changed(false); }
  void Assign(const TPersistent* source) override {
    if (auto* c = dynamic_cast<const TColumn*>(source)) return SetWidth(c->fWidth);
    TCollectionItem::Assign(source);
  }
  static void DeclareProperties(TPropTable<TColumn>& t) { t.Prop("Width", &TColumn::Width, &TColumn::SetWidth).Default(64); }

private:
  int fWidth = 64;
};

class TColumns : public TOwnedCollection {
public:
  TColumns(TPersistent* owner) : TOwnedCollection(owner, TColumn::StaticClass()) {}
  void BeginUpdate() override {
    TOwnedCollection::BeginUpdate();
    ++begins;
  }
  void EndUpdate() override {
    ++ends;
    TOwnedCollection::EndUpdate();
  }
  int begins = 0, ends = 0;
  std::vector<TCollectionItem*> updates;
  std::vector<int> widthsSeen;  // what Update finds: every item whole

protected:
  void Update(TCollectionItem* item) override {
    updates.push_back(item);
    for (int i = 0; i < Count(); ++i) widthsSeen.push_back(ItemAs<TColumn>(i)->Width());
  }
};

class TColumnsOwner : public TComponent {
  ZV_CLASS(TColumnsOwner, TComponent)
public:
  explicit TColumnsOwner(TComponent* owner) : TComponent(owner), fColumns(this) { fColumns.SetPropName("Columns"); }
  TColumns* Columns() const { return const_cast<TColumns*>(&fColumns); }
  static void DeclareProperties(TPropTable<TColumnsOwner>& t) { t.Prop("Columns", &TColumnsOwner::Columns); }

private:
  TColumns fColumns;
};

TColumn::TColumn(TCollection* collection) : TCollectionItem(collection) {
  ownerSeenInConstructor = dynamic_cast<TColumnsOwner*>(collection ? collection->GetOwner() : nullptr);
  fWidth = 80;  // Update must see this, not a half-built item
}

TEST(Collection, BehavesAsTheHostsForDescendants) {
  TColumnsOwner grid(nullptr);
  TColumns& cols = *grid.Columns();
  auto* c0 = static_cast<TColumn*>(cols.Add());
  EXPECT_EQ(c0->ownerSeenInConstructor, &grid);
  EXPECT_EQ(cols.Owner(), &grid);
  EXPECT_EQ(c0->GetOwner(), &cols);
  EXPECT_EQ(cols.widthsSeen, std::vector<int>{80});
  EXPECT_EQ(cols.updates, std::vector<TCollectionItem*>{nullptr});

  // The outermost EndUpdate always reports, even when nothing changed.
  cols.updates.clear();
  cols.BeginUpdate();
  cols.BeginUpdate();
  cols.EndUpdate();
  EXPECT_TRUE(cols.updates.empty());
  cols.EndUpdate();
  EXPECT_EQ(cols.updates, std::vector<TCollectionItem*>{nullptr});

  // Clear, Assign and reading a form bracket their work with the descendant's overrides.
  struct Case {
    const char* what;
    std::function<void()> run;
  };
  TColumnsOwner other(nullptr);
  other.Columns()->Add();
  other.Columns()->Add();
  other.SetName("Grid");
  const String form = ComponentToText(&other);
  const Case cases[] = {
      {"Clear", [&] { cols.Clear(); }},
      {"Assign", [&] { cols.Assign(other.Columns()); }},
      {"reading", [&] { TextToComponent(form, &grid); }},
  };
  for (const Case& c : cases) {
    cols.Add();
    cols.begins = cols.ends = 0;
    cols.updates.clear();
    c.run();
    EXPECT_GE(cols.begins, 1) << c.what;
    EXPECT_EQ(cols.begins, cols.ends) << c.what;
    EXPECT_EQ(cols.updates.back(), nullptr) << c.what;
  }
  EXPECT_EQ(cols.Count(), 2);

  // Moves: in range, or the host's list error with nothing moved.
  auto* last = cols.Items(1);
  last->SetIndex(0);
  EXPECT_EQ(cols.Items(0), last);
  EXPECT_EQ(last->Index(), 0);
  for (int bad : {-1, 2, 100}) {
    try {
      last->SetIndex(bad);
      ADD_FAILURE() << bad;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), Format(SListIndexError, {bad}));
    }
  }
  EXPECT_EQ(cols.Items(0), last);
}

TEST(Collection, IndexFollowsEveryChangeAndStaysCheap) {
  TCollection c(TColumn::StaticClass());
  std::vector<TCollectionItem*> mirror;
  auto check = [&](const char* after) {
    ASSERT_EQ(c.Count(), static_cast<int>(mirror.size())) << after;
    for (int i = 0; i < c.Count(); ++i) {
      EXPECT_EQ(c.Items(i), mirror[static_cast<std::size_t>(i)]) << after;
      EXPECT_EQ(mirror[static_cast<std::size_t>(i)]->Index(), i) << after;
    }
  };
  for (int i = 0; i < 6; ++i) mirror.push_back(c.Add());
  check("add");
  mirror.insert(mirror.begin() + 2, c.Insert(2));
  check("insert");
  c.Delete(1);
  mirror.erase(mirror.begin() + 1);
  check("delete");
  mirror[4]->SetIndex(0);
  std::rotate(mirror.begin(), mirror.begin() + 4, mirror.begin() + 5);
  check("move");
  c.Exchange(0, 5);
  std::swap(mirror[0], mirror[5]);
  check("exchange");
  mirror[3]->SetCollection(nullptr);
  auto* freed = mirror[3];
  mirror.erase(mirror.begin() + 3);
  check("extract");
  EXPECT_EQ(freed->Index(), -1);
  delete freed;

  // A walk asking every item its index is linear: 100,000 items in well under a second
  // (a search per call would take minutes).
  TCollection big(TColumn::StaticClass());
  for (int i = 0; i < 100000; ++i) big.Add();
  big.Items(0)->SetIndex(99999);
  const auto start = std::chrono::steady_clock::now();
  long long sum = 0;
  for (int i = 0; i < big.Count(); ++i) sum += big.Items(i)->Index();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(sum, 99999LL * 100000 / 2);
  EXPECT_LT(seconds, 1.0);
}

// --- Published methods and events ------------------------------------------------------------

using TNotify = std::function<void(TObject*)>;
using TCountEvent = std::function<void(TObject*, int& count)>;

class TButtonish : public TComponent {
  ZV_CLASS(TButtonish, TComponent)
public:
  using TComponent::TComponent;
  TNotify OnClick;
  TCountEvent OnCount;
  int Size() const { return fSize; }
  void SetSize(int v) { fSize = v; }
  void SetSecret(const String& s) { secret = s; }
  TDate Day() const { return fDay; }
  void SetDay(TDate d) { fDay = d; }
  TTime Hour() const { return fHour; }
  void SetHour(TTime t) { fHour = t; }
  String secret;
  static void DeclareProperties(TPropTable<TButtonish>& t) {
    // Deliberately not in name order.
    t.Prop("Size", &TButtonish::Size, &TButtonish::SetSize).Default(0);
    t.Event("OnClick", &TButtonish::OnClick);
    t.Prop("Secret", nullptr, &TButtonish::SetSecret);
    t.Prop("Day", &TButtonish::Day, &TButtonish::SetDay);
    t.Event("OnCount", &TButtonish::OnCount);
    t.Prop("Hour", &TButtonish::Hour, &TButtonish::SetHour);
  }

private:
  int fSize = 0;
  TDate fDay;
  TTime fHour;
};

class TBaseForm : public TComponent {
  ZV_CLASS(TBaseForm, TComponent)
public:
  using TComponent::TComponent;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
    if (root == this)
      for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
  std::vector<String> log;
  void Shared(TObject*) { log.push_back("base"); }
  static void DeclareProperties(TPropTable<TBaseForm>& t) { t.Method("Shared", &TBaseForm::Shared); }
};

class TMyForm : public TBaseForm {
  ZV_CLASS(TMyForm, TBaseForm)
public:
  using TBaseForm::TBaseForm;
  void OkClick(TObject* sender) { log.push_back("ok " + static_cast<TComponent*>(sender)->Name()); }
  void Counted(TObject*, int& count) { count *= 2; }
  static void DeclareProperties(TPropTable<TMyForm>& t) {
    t.Method("OkClick", &TMyForm::OkClick);
    t.Method("Counted", &TMyForm::Counted);
  }
};

}  // namespace

ZV_DEFINE_CLASS(TWidget, TComponent)
ZV_DEFINE_CLASS(TFancyWidget, TWidget)
ZV_DEFINE_CLASS(TWatcher, TComponent)
ZV_DEFINE_CLASS_WITH_PROPS(TColumn, TCollectionItem)
ZV_DEFINE_CLASS_WITH_PROPS(TColumnsOwner, TComponent)
ZV_DEFINE_CLASS_WITH_PROPS(TButtonish, TComponent)
ZV_DEFINE_CLASS_WITH_PROPS(TBaseForm, TComponent)
ZV_DEFINE_CLASS_WITH_PROPS(TMyForm, TBaseForm)

namespace {

std::vector<String> Names(const std::vector<const TPropInfo*>& props) {
  std::vector<String> out;
  for (const TPropInfo* p : props) out.push_back(p->Name);
  return out;
}

TEST(TypeInfo, MethodsAreFoundThroughAncestorsAndBound) {
  TMyForm form(nullptr);
  const TMethodInfo* ok = form.MethodAddress("okclick");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(form.MethodName(ok), "OkClick");
  EXPECT_NE(form.MethodAddress("Shared"), nullptr);
  EXPECT_EQ(form.MethodAddress("Shared"), MethodAddress(TBaseForm::StaticClass(), "Shared"));
  EXPECT_EQ(form.MethodAddress("Missing"), nullptr);
  TBaseForm base(nullptr);
  EXPECT_EQ(base.MethodName(ok), "");  // not a method of the base class
  EXPECT_EQ(base.MethodAddress("OkClick"), nullptr);

  // A method looked up by name and called, as the object dataset calls "_GetObjFieldsInfo".
  auto counted = PublishedMethod<void(TObject*, int&)>(&form, "Counted");
  ASSERT_TRUE(counted);
  int n = 21;
  counted(&form, n);
  EXPECT_EQ(n, 42);
  EXPECT_FALSE((PublishedMethod<void(TObject*)>(&form, "Counted")));  // other signature
}

TEST(TypeInfo, EventsAreListedAndStreamedByHandlerName) {
  RegisterClass(TButtonish::StaticClass());
  TMyForm form(nullptr);
  form.SetName("MyForm");
  auto* ok = new TButtonish(&form);
  ok->SetName("Ok");
  SetMethodProp(ok, "OnClick", TMethod{form.MethodAddress("OkClick"), &form});
  SetMethodProp(ok, "OnCount", TMethod{form.MethodAddress("Counted"), &form});
  ok->OnClick(ok);
  EXPECT_EQ(form.log, std::vector<String>{"ok Ok"});
  EXPECT_EQ(GetMethodProp(ok, "OnClick").Code->Name, "OkClick");
  EXPECT_THROW(SetMethodProp(ok, "OnClick", TMethod{form.MethodAddress("Counted"), &form}), EPropertyConvertError);

  EXPECT_EQ(Names(GetPropList(TButtonish::StaticClass(), tkMethods)), (std::vector<String>{"OnClick", "OnCount"}));
  const String text = ComponentToText(&form);
  EXPECT_NE(text.find("OnClick = OkClick"), String::npos) << text;
  EXPECT_NE(text.find("OnCount = Counted"), String::npos) << text;

  // A handler assigned in code has no name and is not written.
  auto* lambda = new TButtonish(&form);
  lambda->SetName("Lambda");
  lambda->OnClick = [](TObject*) {};
  EXPECT_FALSE(GetMethodProp(lambda, "OnClick"));
  const String written = ComponentToText(&form);
  EXPECT_EQ(written.find("OnClick", written.find("Lambda")), String::npos);

  // Read back: the handlers are the new root's methods.
  TMyForm copy(nullptr);
  TextToComponent(text, &copy);
  auto* okCopy = static_cast<TButtonish*>(copy.FindComponent("Ok"));
  ASSERT_NE(okCopy, nullptr);
  okCopy->OnClick(okCopy);
  EXPECT_EQ(copy.log, std::vector<String>{"ok Ok"});
  int n = 5;
  okCopy->OnCount(okCopy, n);
  EXPECT_EQ(n, 10);

  // A handler the root does not publish: the read error names it, and nothing is left behind.
  String bad = text;
  bad.replace(bad.find("OkClick"), 7, "NoSuchClick");
  TMyForm target(nullptr);
  try {
    TextToComponent(bad, &target);
    ADD_FAILURE() << "read a missing handler";
  } catch (const EReadError& e) {
    EXPECT_NE(e.Message().find("NoSuchClick"), String::npos) << e.Message();
    EXPECT_NE(e.Message().find("OnClick"), String::npos) << e.Message();
  }
  EXPECT_EQ(target.ComponentCount(), 0);
}

TEST(TypeInfo, ListsSortedByNameOrInDeclarationOrder) {
  const TClass cls = TButtonish::StaticClass();
  EXPECT_EQ(Names(GetPropList(cls)), (std::vector<String>{"Day", "Hour", "OnClick", "OnCount", "Secret", "Size", "Tag"}));
  EXPECT_EQ(Names(GetPropInfos(cls)), (std::vector<String>{"Tag", "Size", "OnClick", "Secret", "Day", "OnCount", "Hour"}));
  EXPECT_EQ(Names(GetPropList(cls, tkProperties, false)), (std::vector<String>{"Tag", "Size", "Secret", "Day", "Hour"}));
  // The host compares names without case for ASCII letters: "_b" after "Za", "a" before "B".
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_LT(CompareText("Za", "_b"), 0);
}

TEST(TypeInfo, DateTimeKindsAndWriteOnlyProperties) {
  TButtonish b(nullptr);
  const TPropInfo* day = GetPropInfo(&b, "Day");
  const TPropInfo* hour = GetPropInfo(&b, "Hour");
  EXPECT_EQ(day->PropType->Kind, tkFloat);
  EXPECT_EQ(day->PropType->Name, "TDate");
  EXPECT_EQ(hour->PropType->Name, "TTime");
  SetPropValue(&b, day, Variant(TDateTime(45000)));
  EXPECT_EQ(static_cast<double>(b.Day()), 45000);
  EXPECT_EQ(VarType(GetPropValue(&b, day)), varDate);

  const TPropInfo* secret = GetPropInfo(&b, "Secret");
  EXPECT_FALSE(secret->IsReadable());
  EXPECT_TRUE(secret->IsWritable());
  SetStrProp(&b, "Secret", "pass");
  EXPECT_EQ(b.secret, "pass");
  EXPECT_THROW(GetStrProp(&b, "Secret"), EPropertyError);
  EXPECT_THROW(GetPropValue(&b, secret), EPropertyError);

  // Date kinds are written as dates; the write-only property is never written.
  b.SetHour(TTime(0.5));
  b.SetName("B");
  const String text = ComponentToText(&b);
  EXPECT_NE(text.find("Hour = 0.500000000000000000d"), String::npos) << text;
  EXPECT_EQ(text.find("Secret"), String::npos) << text;
}

// --- Handles ---------------------------------------------------------------------------------

TEST(ComponentHandles, FindOnlyLiveComponents) {
  auto* a = new TWidget(nullptr);
  auto* b = new TWidget(nullptr);
  const std::int32_t ha = ComponentToHandle(a), hb = ComponentToHandle(b);
  EXPECT_NE(ha, 0);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(ComponentToHandle(a), ha);  // stable
  EXPECT_EQ(HandleToComponent(ha), a);
  EXPECT_EQ(ComponentToHandle(nullptr), 0);
  EXPECT_EQ(HandleToComponent(0), nullptr);
  delete a;
  EXPECT_EQ(HandleToComponent(ha), nullptr);
  // A new component at the same address gets a new handle; the old one still finds nothing.
  auto* c = new TWidget(nullptr);
  EXPECT_NE(ComponentToHandle(c), ha);
  EXPECT_EQ(HandleToComponent(ha), nullptr);
  EXPECT_EQ(HandleToComponent(hb), b);
  EXPECT_EQ(HandleToComponent(-12345), nullptr);
  delete b;
  delete c;
}

}  // namespace

namespace zv {
namespace {
struct TCountingDesigner : IDesignerNotify {
  void Modified() override {}
  void Notification(TPersistent*, TOperation operation) override { Removals += operation == opRemove; }
  int Removals = 0;
};
}  // namespace

TEST(DesignRoots, OwnedObjectsReachTheRootsDesignerAndAFreedRootLeavesTheLookup) {
  TCountingDesigner designer;
  auto* root = new TDataModule(nullptr);
  SetRootDesigner(root, &designer);
  auto* part = new TComponent(root);
  auto items = std::make_unique<TOwnedCollection>(part, TCollectionItem::StaticClass());
  EXPECT_EQ(FindRootDesigner(items.get()), &designer);
  delete items->Add();
  items.reset();
  delete part;
  EXPECT_EQ(designer.Removals, 2);
  delete root;
  // The address may be reused by any component from now on.
  EXPECT_EQ(GetRootDesigner(root), nullptr);
}

}  // namespace zv
