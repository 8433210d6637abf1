#pragma once
// TCustomRichEdit / TRichEdit: the host's multi-line rich edit, here holding plain text only.
// Lines is a TStrings view of the text (no copy: reading a line reads the edit, changing a
// line edits the text, firing the change event); Enter inserts a line break ("\r\n", two
// characters of SelStart as on the host), Tab a tab when WantTabs. WordWrap wraps at the
// client width and Up/Down move by visual line; ScrollBars shows the window's standard bars,
// those with nothing to scroll hidden unless HideScrollBars is off (then shown disabled).
// PlainText is kept for the host's streaming switch; there is no formatted (RTF) text.

#include "platform/classes/Strings.h"
#include "platform/controls/Edit.h"

#include <vector>

namespace zv {

class TCustomRichEdit;

// The rich edit's lines. A text ending in a line break has no empty last line, as on the host.
class TRichEditStrings : public TStrings {
  ZV_CLASS(TRichEditStrings, TStrings)

public:
  explicit TRichEditStrings(TCustomRichEdit* edit) : fEdit(edit) {}
  void Insert(int index, const String& s) override;
  void Delete(int index) override;
  void Clear() override;
  String Text() const override;
  void SetText(const String& text) override;

protected:
  String Get(int index) const override;
  int GetCount() const override;
  void Put(int index, const String& s) override;

private:
  TCustomRichEdit* fEdit;
};

class TCustomRichEdit : public TCustomEdit {
  ZV_CLASS(TCustomRichEdit, TCustomEdit)

public:
  explicit TCustomRichEdit(TComponent* owner);
  ~TCustomRichEdit() override;

  TStrings* Lines() const { return fLines.get(); }
  void SetLines(const TStrings* lines) { fLines->Assign(lines); }
  bool PlainText() const { return fPlainText; }
  void SetPlainText(bool value) { fPlainText = value; }
  using TCustomEdit::HideScrollBars;
  using TCustomEdit::ScrollBars;
  using TCustomEdit::SetHideScrollBars;
  using TCustomEdit::SetScrollBars;
  using TCustomEdit::SetWantReturns;
  using TCustomEdit::SetWantTabs;
  using TCustomEdit::SetWordWrap;
  using TCustomEdit::VisualLineCount;
  using TCustomEdit::WantReturns;
  using TCustomEdit::WantTabs;
  using TCustomEdit::WordWrap;
  using TCustomEdit::TopLine;
  using TCustomEdit::LineOfPos;

  // Logical lines (separated by line breaks): how many, and where each starts and ends
  // (byte offsets into the text, the break excluded).
  int LogicalLineCount();
  void LogicalLine(int index, std::size_t& start, std::size_t& end);

  static void DeclareProperties(TPropTable<TCustomRichEdit>& t);

protected:
  void TextUpdated() override { fStartsValid = false; }

private:
  const std::vector<std::size_t>& LineStarts();

  std::unique_ptr<TRichEditStrings> fLines;
  std::vector<std::size_t> fStarts;
  bool fStartsValid = false;
  bool fPlainText = false;
};

class TRichEdit : public TCustomRichEdit {
  ZV_CLASS(TRichEdit, TCustomRichEdit)

public:
  explicit TRichEdit(TComponent* owner) : TCustomRichEdit(owner) {}
  static void DeclareProperties(TPropTable<TRichEdit>& t);
};

}  // namespace zv
