#include "MainForm.h"

#include "ExportCommand.h"

#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/db/DataLink.h"
#include "platform/db/Fields.h"
#include "platform/db/SortString.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/db/pg/PgDataSet.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/env/Env.h"
#include "runtime/grid/AutoSearchParams.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DeleteParams.h"
#include "runtime/grid/Selection.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/StdDesigners.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace zovrin {

using namespace zv;
using zv::sqlite::QuoteIdentifier;
using zv::sqlite::TSqliteDatabase;
using zv::sqlite::TSqliteStatement;

namespace {

bool IsDateField(const TField* field) {
  return dynamic_cast<const TDateTimeField*>(field) || dynamic_cast<const TSQLTimeStampField*>(field);
}

// Julian day numbers as SQLite's date functions give them, as the host's dates.
constexpr double JulianDayOfZero = 2415018.5;

String FormatNumber(const TField* field, double value, bool integral) {
  const auto* numeric = dynamic_cast<const TNumericField*>(field);
  if (numeric && !numeric->DisplayFormat().empty()) return FormatFloat(numeric->DisplayFormat(), value);
  if (integral) return IntToStr(static_cast<std::int64_t>(value));
  return FloatToStr(value);
}

String FormatDate(const TField* field, TDateTime value) {
  if (const auto* dates = dynamic_cast<const TDateTimeField*>(field); dates && !dates->DisplayFormat().empty())
    return FormatDateTime(dates->DisplayFormat(), value);
  if (dynamic_cast<const TDateField*>(field)) return DateToStr(value);
  if (dynamic_cast<const TTimeField*>(field)) return TimeToStr(value);
  return DateTimeToStr(value);
}

bool NamesAView(const std::string& file, const std::string& table) {
  try {
    TSqliteDatabase db(file, true);
    TSqliteStatement st(db, "SELECT type FROM sqlite_master WHERE name = ?");
    st.Bind(1, Variant(String(table)));
    return st.Step() && st.ColumnText(0) == "view";
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TMainForm::TMainForm(TComponent* owner, const std::string& file, const std::string& table, bool onServer)
    : TForm(owner), fFile(file), fTable(table), fOnServer(onServer) {
  SetColor(clBtnFace);
  SetCaption("Zovrin");
  SetBounds(120, 80, 900, 600);
  Font()->SetHeight(-13);

  if (onServer) {
    auto* connection = new TPgConnection(this);
    connection->SetConnectionString(file);
    auto* pgTable = new TPgDataSet(this);
    pgTable->SetConnection(connection);
    pgTable->SetTableName(table);
    pgTable->SetReadOnly(true);
    DataSet = pgTable;
  } else {
    // Tables open for editing unless the file cannot be written; views only show.
    fIsView = NamesAView(file, table);
    auto* sqlite = new TSqliteDataSet(this);
    sqlite->SetFileName(file);
    sqlite->SetTableName(table);
    sqlite->SetReadOnly(fIsView || ::access(file.c_str(), W_OK) != 0);
    DataSet = sqlite;
  }
  Source = new TDataSource(this);
  Source->SetDataSet(DataSet);

  Status = new TPanel(this);
  Status->SetAlign(alBottom);
  Status->SetHeight(24);
  Status->SetBevelOuter(bvNone);
  Status->SetParent(this);

  auto* designer = new TStandardDesigner(this);
  Grid = new TDBDivoRud(this);
  Grid->SetAlign(alClient);
  Grid->SetDesigner(designer);
  Grid->SetShowFooters(true);
  Grid->SetParent(this);
  Grid->SetDataSource(Source);
  DataSet->Open();
  Grid->CreateDefColumns(true);
  // Editing needs a vision per column: the library's default one when there is one.
  if (!DefaultVision()) fVision = new TvpFieldVision(this);
  // Long or unsized texts get a wide column whose lines wrap; a short text's column is as wide
  // as the first rows need (a name, a code, a uuid), at most as its declared size allows;
  // everything else a narrow one.
  TCanvas* canvas = Grid->Canvas();
  canvas->Font()->Assign(Grid->Font());
  const int charWidth = std::max(1, canvas->TextWidth("0"));
  TgpColumns& columns = *Grid->Columns();
  std::vector<TField*> shortTexts(static_cast<std::size_t>(columns.Count()), nullptr);
  std::vector<int> widest(shortTexts.size(), 0);
  for (int i = 0; i < columns.Count(); ++i) {
    TField* field = DataSet->FindField(columns.Items(i)->FieldName());
    const TFieldType type = field ? field->DataType() : ftUnknown;
    if ((type == ftString || type == ftFixedChar || type == ftWideString) && field->Size() > 0 && field->Size() <= 60)
      shortTexts[static_cast<std::size_t>(i)] = field;
  }
  DataSet->DisableControls();
  int read = 0;
  for (DataSet->First(); !DataSet->Eof() && read < 50; DataSet->Next(), ++read)
    for (std::size_t i = 0; i < shortTexts.size(); ++i)
      if (shortTexts[i]) widest[i] = std::max(widest[i], canvas->TextWidth(shortTexts[i]->DisplayText()));
  DataSet->First();
  DataSet->EnableControls();
  columns.BeginUpdate();
  for (int i = 0; i < columns.Count(); ++i) {
    TgpColumn* c = columns.Items(i);
    TField* field = DataSet->FindField(c->FieldName());
    const TFieldType type = field ? field->DataType() : ftUnknown;
    if (TField* shortText = shortTexts[static_cast<std::size_t>(i)]) {
      const int declared = std::min(300, charWidth * shortText->Size() + 8);
      c->SetWidth(std::clamp(widest[static_cast<std::size_t>(i)] + 12, 95, std::max(95, declared)));
      if (fVision) c->SetVision(fVision);
      continue;
    }
    const bool text = type == ftMemo || type == ftString || type == ftFixedChar || type == ftWideString ||
                      type == ftVariant;
    c->SetWidth(text ? 170 : 95);
    if (text) c->SetOptionsVisual(c->OptionsVisual() + TgpColumnVisualOptions{cvoWordWrap});
    if (fVision) c->SetVision(fVision);
  }
  columns.EndUpdate();
  Grid->SetRowLines(2);
  Grid->OnTitleStateChange = [this](TObject* sender, TgpColumn* column) { TitleStateChanged(sender, column); };
  Grid->OnFooterStateChange = [this](TObject*, TgpColumn*) { RecomputeFooters(); };
  Grid->OnFooterMenuPopup = [this](TObject* sender, int x, int y, bool& doPopup) { FooterMenuPopup(sender, x, y, doPopup); };
  // What changes the rows changes the aggregates; moving through them or reordering does not.
  const TDataSetNotifyEvent recompute = [this](TDataSet*) { RecomputeFooters(); };
  DataSet->AfterPost = recompute;
  DataSet->AfterDelete = recompute;
  DataSet->AfterInsert = recompute;
  DataSet->AfterRefresh = recompute;
  if (columns.Count() > 0) {
    // Set as the field is: the event is the menu's, and the first count is computed below.
    columns.Items(0)->SetFooterStateField(fsCount);
    RecomputeFooters();
  }
  // Ctrl+F searches the current column; F3 and Shift+F3 go on to the next and previous match,
  // round the ends. Typing alone still edits.
  TgpAutoSearchParams& search = *Grid->ParamsAutoSearch();
  search.SetEnabled(true);
  search.SetShortCut(ShortCut('F', {ssCtrl}));
  search.SetShortCutFindNext(ShortCut(VK_F1 + 2, {}));
  search.SetShortCutFindPrevious(ShortCut(VK_F1 + 2, {ssShift}));
  search.SetCycleSearch(true);
  BuildMenus();
  SetActiveControl(Grid);
  fDefaultStatus = Format("  %s of %s%s; click titles to sort (Shift adds, Ctrl removes), right-click footers to aggregate",
                          {String(table), onServer ? String("the server") : String(std::filesystem::path(file).filename().string()),
                           DataSet->CanModify() ? String("") : String(", read-only")});
  // Records are picked with Shift and Ctrl, all of them with Ctrl+A; Ctrl+Delete deletes them
  // where the table can be written.
  Grid->SetMultiSelect(true);
  Grid->ParamsDelete()->SetEnabled(true);
  Grid->OnSelectionChange = [this](TObject*) { ShowSelection(); };
  Status->SetCaption(fDefaultStatus);
}

TMainForm::~TMainForm() = default;

void TMainForm::ShowSelection() {
  const int selected = Grid->Selection().Empty() ? 0 : Grid->Selection().GetCount2();
  if (selected > 0)
    Status->SetCaption(Format("  %d of %d records selected", {selected, DataSet->RecordCount()}));
  else
    Status->SetCaption(fDefaultStatus);
}

void TMainForm::BuildMenus() {
  const auto item = [this](TMenuItem* parent, const char* caption, TNotifyEvent onClick) {
    auto* added = new TMenuItem(this);
    added->SetCaption(caption);
    added->OnClick = std::move(onClick);
    parent->Add(added);
    return added;
  };
  const TNotifyEvent exportGrid = [this](TObject*) { ExportGridCommand(*Grid); };
  auto* bar = new TMainMenu(this);
  TMenuItem* file = item(bar->Items(), "&File", nullptr);
  item(file, "&Export...", exportGrid);
  SetMenu(bar);
  auto* context = new TPopupMenu(this);
  item(context->Items(), "&Export...", exportGrid);
  Grid->SetPopupMenu(context);
}

void TMainForm::Say(const String& message) {
  fMessage = message;
  Status->SetCaption("  " + message);
}

// ---- Sorting -------------------------------------------------------------------------------------

void TMainForm::TitleStateChanged(TObject*, TgpColumn*) {
  // Built from the columns themselves, each name quoted: a name may hold ";" or end in " ASC".
  const TgpColumns& columns = *Grid->Columns();
  String sort;
  for (int n = 0; n < columns.GetTitleStatedCount(); ++n) {
    const TgpColumn* c = columns.GetTitleStatedItem(n);
    if (c->FieldName().empty()) continue;
    sort += (sort.empty() ? "" : ";") + QuoteSortName(c->FieldName()) + (c->TitleState() == tsSortedDown ? " DESC" : "");
  }
  try {
    if (auto* sqlite = dynamic_cast<TSqliteDataSet*>(DataSet))
      sqlite->SetSortFields(sort);
    else if (auto* pg = dynamic_cast<TPgDataSet*>(DataSet))
      pg->SetSortFields(sort);
    Status->SetCaption(fDefaultStatus);
  } catch (const Exception& e) {
    Say("Cannot sort so: " + e.Message());
    ShowDataOrder();
  }
}

void TMainForm::ShowDataOrder() {
  String order;
  if (auto* sqlite = dynamic_cast<TSqliteDataSet*>(DataSet)) order = sqlite->SortFields();
  else if (auto* pg = dynamic_cast<TPgDataSet*>(DataSet)) order = pg->SortFields();
  TgpColumns& columns = *Grid->Columns();
  for (int i = 0; i < columns.Count(); ++i) columns.Items(i)->SetTitleStateField(tsSortedNone);
  for (const TSortItem& item : ParseSortString(order))
    for (int i = 0; i < columns.Count(); ++i)
      if (AnsiSameText(columns.Items(i)->FieldName(), item.Name)) {
        columns.Items(i)->SetTitleStateField(item.Descending ? tsSortedDown : tsSortedUp);
        break;
      }
  Grid->InvalidateTitles();
}

// ---- Footers -------------------------------------------------------------------------------------

void TMainForm::FooterMenuPopup(TObject*, int, int, bool&) {
  TgpColumn* column = Grid->HoverColumn();
  if (zvEnv) zvEnv->DisableNonApplicableFooterStates(column ? DataSet->FindField(column->FieldName()) : nullptr);
}

// A stated column's aggregate; values enter only as column names, quoted.
// A column whose stored values do not all fit its type reads as a variant field, which offers
// counting only: the others aggregate as stored. Dates are ISO-8601 text, so their latest and
// earliest are the greatest and least texts, made days by SQLite's julianday once; a text that
// is no date gives no day (an empty footer), and an average takes each day.
String TMainForm::FooterTerm(const TgpColumn* c) const {
  const TField* field = DataSet->FindField(c->FieldName());
  if (!field) return String();
  const String name = QuoteIdentifier(c->FieldName());
  const bool date = IsDateField(field);
  switch (c->FooterState()) {
    case fsCount: return "COUNT(" + name + ")";
    case fsSum: return "SUM(" + name + ")";
    case fsMax: return date ? "julianday(MAX(" + name + "))" : "MAX(" + name + ")";
    case fsMin: return date ? "julianday(MIN(" + name + "))" : "MIN(" + name + ")";
    case fsAverage: return date ? "AVG(julianday(" + name + "))" : "AVG(" + name + ")";
    default: return String();
  }
}

void TMainForm::ComputeFooterTerms(const std::vector<String>& terms) {
  bool totals = false;
  for (;;) {
    String sql;
    for (const String& term : terms) {
      // After an integer sum overflowed: SQLite's float total instead.
      const bool sum = totals && term.rfind("SUM(", 0) == 0;
      sql += (sql.empty() ? "SELECT " : ", ") + (sum ? "TOTAL(" + term.substr(4) : term);
    }
    try {
      ++fFooterStatements;
      TSqliteStatement st(*fReader, sql + " FROM " + QuoteIdentifier(fTable));
      st.Step();
      for (std::size_t k = 0; k < terms.size(); ++k) {
        const int i = static_cast<int>(k);
        TFooterValue& v = fFooterValues[terms[k]];
        v.Null = st.ColumnIsNull(i);
        v.Storage = st.ColumnStorage(i);
        v.Integer = v.Null ? 0 : st.ColumnInt64(i);
        v.Real = v.Null ? 0 : st.ColumnDouble(i);
      }
      return;
    } catch (const EDatabaseError& e) {
      if (totals || e.Message().find("integer overflow") == String::npos) throw;
      totals = true;
    }
  }
}

void TMainForm::RecomputeFooters() {
  if (fOnServer || !Grid) return;
  const TgpColumns& all = *Grid->Columns();
  std::vector<std::pair<TgpColumn*, String>> stated;
  for (int n = 0; n < all.GetFooterStatedCount(); ++n) {
    TgpColumn* c = all.GetFooterStatedItem(n);
    if (String term = FooterTerm(c); !term.empty()) stated.emplace_back(c, std::move(term));
  }
  if (stated.empty()) return;
  try {
    if (!fReader) fReader = std::make_unique<TSqliteDatabase>(fFile, true);
    // One read transaction: the version read and the aggregates computed see the same data.
    fReader->Execute("BEGIN");
    try {
      // Changes any other connection committed, the dataset's own among them, change the version.
      TSqliteStatement version(*fReader, "PRAGMA data_version");
      version.Step();
      if (version.ColumnInt64(0) != fDataVersion) {
        fFooterValues.clear();
        fDataVersion = version.ColumnInt64(0);
      }
      std::vector<String> missing;
      for (const auto& [c, term] : stated)
        if (!fFooterValues.count(term) && std::find(missing.begin(), missing.end(), term) == missing.end())
          missing.push_back(term);
      if (!missing.empty()) ComputeFooterTerms(missing);
      fReader->Execute("COMMIT");
    } catch (...) {
      fReader->Execute("ROLLBACK");
      throw;
    }
    for (const auto& [c, term] : stated) {
      const TFooterValue& v = fFooterValues[term];
      const TField* field = DataSet->FindField(c->FieldName());
      String text;
      if (!v.Null) {
        if (c->FooterState() == fsCount)
          text = IntToStr(v.Integer);
        else if (IsDateField(field))
          text = FormatDate(field, TDateTime(v.Real - JulianDayOfZero));
        else
          text = FormatNumber(field, v.Real, c->FooterState() != fsAverage && v.Storage == 1 /* SQLITE_INTEGER */);
      }
      c->SetFooterText(text);
    }
  } catch (const Exception& e) {
    Say("Cannot compute the footers: " + e.Message());
  }
}

}  // namespace zovrin
