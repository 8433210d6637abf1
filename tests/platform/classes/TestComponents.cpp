#include "TestComponents.h"

#include "platform/rtl/DateTime.h"

namespace zvtest {

ZV_DEFINE_CLASS_WITH_PROPS(TSampleStyle, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TSampleItem, TCollectionItem)
ZV_DEFINE_CLASS_WITH_PROPS(TSample, TComponent)
ZV_DEFINE_CLASS(TSampleRoot, TSample)

std::unique_ptr<TSampleRoot> BuildSampleTree() {
  auto root = std::make_unique<TSampleRoot>(nullptr);
  root->SetName("Form1");
  root->SetCaption("Grüße, мир 😀");
  root->SetCount(-70000);
  root->SetBig(INT64_C(1) << 40);
  root->SetLetter('z');
  root->SetEnabled(false);
  root->SetMood(smAngry);
  root->SetMoods({smCalm, smBusy});
  root->SetRatio(0.1);
  root->SetPrice(Currency::FromScaled(-123456789));
  root->SetWhen(EncodeDate(1850, 2, 28) - 0.25);
  root->SetWide(u"wide \u263A");
  root->SetExtra(Variant(42));
  root->Style()->SetFontName("DejaVu Sans");
  root->Style()->note = "defined";
  root->Style()->blob = {0, 1, 2, 0xFF};
  auto* item = static_cast<TSampleItem*>(root->Items()->Add());
  item->SetTitle("first");
  root->Items()->Add();  // all defaults
  auto* a = new TSample(root.get());
  a->SetName("Alpha");
  auto* b = new TSample(root.get());
  b->SetName("Beta");
  a->SetPeer(b);  // forward reference
  b->SetPeer(a);  // backward reference
  root->SetPeer(b);
  return root;
}

void RegisterSampleClasses() {
  RegisterClass(TSample::StaticClass());
  RegisterClass(TSampleRoot::StaticClass());
  RegisterClass(TSampleItem::StaticClass());
}

}  // namespace zvtest
