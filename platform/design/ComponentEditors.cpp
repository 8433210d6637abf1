// Component editors, and the string-list dialog of TStringsProperty.

#include "platform/controls/RichEdit.h"
#include "platform/controls/StdCtrls.h"
#include "platform/design/DesignConsts.h"
#include "platform/design/DesignEditors.h"
#include "platform/design/FormDesigner.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

void TComponentEditor::Edit() {
  if (GetVerbCount() > 0) ExecuteVerb(0);
}

void TDefaultEditor::EditProperty(TPropertyEditor& editor, bool& continueLooking) {
  (void)editor;
  continueLooking = true;
}

void TDefaultEditor::Edit() {
  // The event a double-click means: the first of OnCreate, OnChange, OnClick the component
  // has, else its first by name.
  std::vector<std::unique_ptr<TPropertyEditor>> events;
  GetComponentProperties({Component()}, tkMethods, Designer(),
                         [&](std::unique_ptr<TPropertyEditor> e) { events.push_back(std::move(e)); });
  TPropertyEditor* chosen = nullptr;
  for (const char* preferred : {"OnCreate", "OnChange", "OnClick"}) {
    for (auto& e : events)
      if (!chosen && SameText(e->GetName(), preferred)) chosen = e.get();
  }
  if (!chosen && !events.empty()) chosen = events.front().get();
  if (!chosen) return;
  bool continueLooking = true;
  EditProperty(*chosen, continueLooking);
  chosen->Edit();
}

void TStringsProperty::Edit() {
  auto* strings = dynamic_cast<TStrings*>(GetObjectValue());
  if (!strings) return;
  TForm dialog(nullptr);
  dialog.SetCaption(SStringListEditor);
  dialog.SetBorderStyle(bsDialog);
  dialog.SetBounds(0, 0, 420, 300);
  auto* memo = new TRichEdit(&dialog);
  memo->SetName("Memo");
  memo->SetParent(&dialog);
  memo->SetBounds(8, 8, 404, 244);
  memo->SetPlainText(true);
  memo->Lines()->Assign(strings);
  auto* ok = new TButton(&dialog);
  ok->SetName("OKButton");
  ok->SetParent(&dialog);
  ok->SetCaption("OK");
  ok->SetBounds(256, 262, 75, 25);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = new TButton(&dialog);
  cancel->SetName("CancelButton");
  cancel->SetParent(&dialog);
  cancel->SetCaption("Cancel");
  cancel->SetBounds(337, 262, 75, 25);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  if (dialog.ShowModal() != mrOk) return;
  SetEach([&](TPersistent* instance, const TPropInfo* prop) {
    if (auto* target = dynamic_cast<TStrings*>(prop->GetObj(*instance))) target->Assign(memo->Lines());
  });
}

}  // namespace zv
