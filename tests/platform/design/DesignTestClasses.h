#pragma once
// Classes the design tests edit, a recording design notification, and the headless backends
// with the modules initialized once for the whole suite.

#include "platform/classes/Collection.h"
#include "platform/classes/Strings.h"
#include "platform/controls/Form.h"
#include "platform/design/FormDesigner.h"
#include "platform/graphics/Colors.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zvtest {
ZV_ENUM(TTestMood, tmCalm, tmBusy, tmAngry);
}  // namespace zvtest
namespace zvtest {

using namespace zv;
using TTestMoods = TSet<TTestMood>;

// One published property of every kind the standard editors cover.
class TWidget : public TComponent {
  ZV_CLASS(TWidget, TComponent)

public:
  explicit TWidget(TComponent* owner);
  ~TWidget() override;

  int Count() const { return fCount; }
  void SetCount(int v) { fCount = v; }
  unsigned char Level() const { return fLevel; }
  void SetLevel(unsigned char v) { fLevel = v; }
  char Mark() const { return fMark; }
  void SetMark(char v) { fMark = v; }
  TTestMood Mood() const { return fMood; }
  void SetMood(TTestMood v) { fMood = v; }
  bool Flag() const { return fFlag; }
  void SetFlag(bool v) { fFlag = v; }
  double Ratio() const { return fRatio; }
  void SetRatio(double v) { fRatio = v; }
  String Text() const { return fText; }
  void SetText(String v) { fText = std::move(v); }
  TTestMoods Moods() const { return fMoods; }
  void SetMoods(TTestMoods v) { fMoods = v; }
  TComponent* Buddy() const { return fBuddy; }
  void SetBuddy(TComponent* v);
  TStrings* Lines() const { return fLines.get(); }
  void SetLines(TStrings* v) { fLines->Assign(v); }
  int Color() const { return fColor; }
  void SetColor(int v) { fColor = v; }
  int Cursor() const { return fCursor; }
  void SetCursor(int v) { fCursor = v; }
  unsigned short Keys() const { return fKeys; }
  void SetKeys(unsigned short v) { fKeys = v; }
  std::int64_t Big() const { return fBig; }
  void SetBig(std::int64_t v) { fBig = v; }
  TCollection* Items() const { return fItems.get(); }
  void SetItems(TCollection* v) { fItems->Assign(v); }

  TNotifyEvent OnChange;
  TNotifyEvent OnClick;
  static void DeclareProperties(TPropTable<TWidget>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  int fCount = 0;
  unsigned char fLevel = 0;
  char fMark = 'a';
  TTestMood fMood = tmCalm;
  bool fFlag = false;
  double fRatio = 0;
  String fText;
  TTestMoods fMoods;
  TComponent* fBuddy = nullptr;
  std::unique_ptr<TStrings> fLines;
  int fColor = clWindow;
  int fCursor = 0;
  unsigned short fKeys = 0;
  std::int64_t fBig = 0;
  std::unique_ptr<TCollection> fItems;
};

// A form class that publishes one handler.
class TTestForm : public TForm {
  ZV_CLASS(TTestForm, TForm)

public:
  using TForm::TForm;
  void WidgetChanged(TObject* sender) { (void)sender; ++Changes; }
  int Changes = 0;
  static void DeclareProperties(TPropTable<TTestForm>& t);
};

// Keeps the mouse at design time inside its left half.
class TDesignHitControl : public TCustomControl {
  ZV_CLASS(TDesignHitControl, TCustomControl)

public:
  explicit TDesignHitControl(TComponent* owner) : TCustomControl(owner) {}
  void Dispatch(TMessage& message) override;
  int MouseDowns = 0;
};

// Everything a designer reports, as text lines ("ItemDeleted Widget1").
class TNotificationLog : public IDesignNotification {
public:
  TNotificationLog() { RegisterDesignNotification(this); }
  ~TNotificationLog() override { UnregisterDesignNotification(this); }
  void ItemDeleted(IDesigner*, TPersistent* item) override { Lines.push_back("ItemDeleted " + NameOf(item)); }
  void ItemInserted(IDesigner*, TPersistent* item) override { Lines.push_back("ItemInserted " + NameOf(item)); }
  void ItemsModified(IDesigner*) override { Lines.push_back("ItemsModified"); }
  void SelectionChanged(IDesigner*, const TDesignerSelections& s) override {
    std::string names;
    for (TPersistent* p : s) names += (names.empty() ? "" : ",") + NameOf(p);
    Lines.push_back("SelectionChanged " + names);
  }
  void DesignerOpened(IDesigner* d, bool) override { Lines.push_back("DesignerOpened " + d->Root()->Name()); }
  void DesignerClosed(IDesigner* d, bool) override { Lines.push_back("DesignerClosed " + d->Root()->Name()); }
  std::vector<std::string> Lines;

private:
  static std::string NameOf(TPersistent* p);
};

// A form in a designer, with the form's components made through the designer.
struct TDesignedForm {
  TDesignedForm(const char* name = "Form1");
  ~TDesignedForm();
  TTestForm* Form;
  std::unique_ptr<TFormDesigner> Designer;
};

// The editors GetComponentProperties gives, by name.
std::vector<std::unique_ptr<TPropertyEditor>> EditorsOf(const TDesignerSelections& selection, IDesigner* designer,
                                                        TTypeKinds kinds = tkAny);
TPropertyEditor* Find(std::vector<std::unique_ptr<TPropertyEditor>>& editors, const std::string& name);

}  // namespace zvtest
