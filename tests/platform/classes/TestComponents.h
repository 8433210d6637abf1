#pragma once
// Test components that use every kind of published property, a collection, a nested object and
// defined properties; shared by the streaming tests, the benchmark and the fuzz target.

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/classes/Writer.h"

namespace zvtest {

using namespace zv;

ZV_ENUM(TSampleMood, smCalm, smBusy, smAngry);
using TSampleMoods = TSet<TSampleMood>;


// A nested object with a published property and two defined ones (text and binary).
class TSampleStyle : public TPersistent {
  ZV_CLASS(TSampleStyle, TPersistent)
public:
  String FontName() const { return fFontName; }
  void SetFontName(String v) { fFontName = std::move(v); }
  std::vector<std::uint8_t> blob;
  String note;
  static void DeclareProperties(TPropTable<TSampleStyle>& t) {
    t.Prop("FontName", &TSampleStyle::FontName, &TSampleStyle::SetFontName);
  }

protected:
  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty(
        "Note", [this](TReader& r) { note = r.ReadString(); }, [this](TWriter& w) { w.WriteString(note); },
        !note.empty());
    filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
          blob.resize(static_cast<std::size_t>(s.Size()));
          if (!blob.empty()) s.ReadBuffer(blob.data(), static_cast<std::int64_t>(blob.size()));
        },
        [this](TStream& s) { s.WriteBuffer(blob.data(), static_cast<std::int64_t>(blob.size())); }, !blob.empty());
  }

private:
  String fFontName;
};

class TSampleItem : public TCollectionItem {
  ZV_CLASS(TSampleItem, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  int Width() const { return fWidth; }
  void SetWidth(int v) { fWidth = v; }
  String Title() const { return fTitle; }
  void SetTitle(String v) { fTitle = std::move(v); }
  static void DeclareProperties(TPropTable<TSampleItem>& t) {
    t.Prop("Width", &TSampleItem::Width, &TSampleItem::SetWidth).Default(64);
    t.Prop("Title", &TSampleItem::Title, &TSampleItem::SetTitle);
  }

private:
  int fWidth = 64;
  String fTitle;
};

class TSample : public TComponent {
  ZV_CLASS(TSample, TComponent)
public:
  explicit TSample(TComponent* owner) : TComponent(owner), fItems(this, TSampleItem::StaticClass()) {
    fItems.SetPropName("Items");
  }
  ~TSample() override { Destroying(); }

#define ZV_SAMPLE_PROP(Type, Name, Init)              \
  Type Name() const { return f##Name; }              \
  void Set##Name(Type v) { f##Name = std::move(v); } \
  Type f##Name = Init;
  ZV_SAMPLE_PROP(int, Count, 7)
  ZV_SAMPLE_PROP(std::int64_t, Big, 0)
  ZV_SAMPLE_PROP(char, Letter, 'A')
  ZV_SAMPLE_PROP(bool, Enabled, true)
  ZV_SAMPLE_PROP(TSampleMood, Mood, smCalm)
  ZV_SAMPLE_PROP(TSampleMoods, Moods, {})
  ZV_SAMPLE_PROP(double, Ratio, 0)
  ZV_SAMPLE_PROP(Currency, Price, {})
  ZV_SAMPLE_PROP(TDateTime, When, 0)
  ZV_SAMPLE_PROP(String, Caption, "")
  ZV_SAMPLE_PROP(WideString, Wide, u"")
  ZV_SAMPLE_PROP(Variant, Extra, Variant())
#undef ZV_SAMPLE_PROP

  TSample* Peer() const { return fPeer; }
  void SetPeer(TSample* p) {
    if (fPeer) fPeer->RemoveFreeNotification(this);
    fPeer = p;
    if (p) p->FreeNotification(this);
  }
  TSampleStyle* Style() const { return const_cast<TSampleStyle*>(&fStyle); }
  TOwnedCollection* Items() const { return const_cast<TOwnedCollection*>(&fItems); }
  int loadedCalls = 0;

  static void DeclareProperties(TPropTable<TSample>& t) {
    t.Prop("Count", &TSample::Count, &TSample::SetCount).Default(7);
    t.Prop("Big", &TSample::Big, &TSample::SetBig);
    t.Prop("Letter", &TSample::Letter, &TSample::SetLetter).Default('A');
    t.Prop("Enabled", &TSample::Enabled, &TSample::SetEnabled).Default(true);
    t.Prop("Mood", &TSample::Mood, &TSample::SetMood).Default(smCalm);
    t.Prop("Moods", &TSample::Moods, &TSample::SetMoods).Default(TSampleMoods{});
    t.Prop("Ratio", &TSample::Ratio, &TSample::SetRatio);
    t.Prop("Price", &TSample::Price, &TSample::SetPrice);
    t.Prop("When", &TSample::When, &TSample::SetWhen);
    t.Prop("Caption", &TSample::Caption, &TSample::SetCaption).Stored(&TSample::IsCaptionStored);
    t.Prop("Wide", &TSample::Wide, &TSample::SetWide);
    t.Prop("Extra", &TSample::Extra, &TSample::SetExtra);
    t.Prop("Peer", &TSample::Peer, &TSample::SetPeer);
    t.Prop("Style", &TSample::Style);
    t.Prop("Items", &TSample::Items);
  }
  bool IsCaptionStored() const { return fCaption != "(unsaved)"; }

  void Loaded() override {
    TComponent::Loaded();
    ++loadedCalls;
  }

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == fPeer) fPeer = nullptr;
  }

private:
  TSample* fPeer = nullptr;
  TSampleStyle fStyle;
  TOwnedCollection fItems;
};

// A root that streams the components it owns, as a form or data module does.
class TSampleRoot : public TSample {
  ZV_CLASS(TSampleRoot, TSample)
public:
  using TSample::TSample;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
    if (root == this)
      for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
};

// A root that uses every property kind, a collection, a nested object with defined properties
// and references forward and backward: the tree the streaming tests round-trip.
std::unique_ptr<TSampleRoot> BuildSampleTree();

// Registers the test classes so that readers can create them by name.
void RegisterSampleClasses();

}  // namespace zvtest
