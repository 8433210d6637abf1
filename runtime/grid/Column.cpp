// TgpColumn: its properties and what setting each does, the consumer side its field list and
// vision call, copying, and the title-state field writers. The group moves it asks for live in
// Columns.cpp, the width side of Width and Visible in ColumnWidths.cpp.
#include "runtime/grid/Column.h"
#include "runtime/grid/detail/GridTitles.h"
#include "runtime/rtm/FlagScope.h"

#include "platform/classes/Filer.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/controls/Menus.h"
#include "platform/db/DataSet.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/GridLayout.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/Designer.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TgpColumn, TCollectionItem)

void TgpColumn::DeclareProperties(TPropTable<TgpColumn>& t) {
  const TTypeInfo* colors = ColorTypeInfo();
  t.Prop("FieldName", &TgpColumn::FieldName, &TgpColumn::SetFieldName);
  t.Prop("Vision", &TgpColumn::Vision, &TgpColumn::SetVision).Stored(&TgpColumn::IsVisionStored);
  t.Prop("OptionsVisual", &TgpColumn::OptionsVisual, &TgpColumn::SetOptionsVisual).Default(TgpColumnVisualOptions{});
  t.Prop("OptionsBehavior", &TgpColumn::OptionsBehavior, &TgpColumn::SetOptionsBehavior)
      .Default(TgpColumnBehaviorOptions{});
  t.Prop("OptionsMapping", &TgpColumn::OptionsMapping, &TgpColumn::SetOptionsMapping)
      .Default(TgpColumnMappingOptions{cioImportCaption, cioImportDomain});
  t.Prop("Fixed", &TgpColumn::Fixed, &TgpColumn::SetFixed).Default(cfNone);
  t.Prop("DisplayFormat", &TgpColumn::DisplayFormat, &TgpColumn::SetDisplayFormat);
  t.Prop("EditFormat", &TgpColumn::EditFormat, &TgpColumn::SetEditFormat);
  t.Prop("Caption", &TgpColumn::Caption, &TgpColumn::SetCaption).Stored(&TgpColumn::IsCaptionStored);
  t.Prop("CaptionAlignment", &TgpColumn::CaptionAlignment, &TgpColumn::SetCaptionAlignment).Default(talDefault);
  t.Prop("TitleGlyph", &TgpColumn::TitleGlyph, &TgpColumn::SetTitleGlyph).Stored(&TgpColumn::HasTitleGlyph);
  t.Prop("TitleImageIndex", &TgpColumn::TitleImageIndex, &TgpColumn::SetTitleImageIndex).Default(-1);
  t.Prop("TitleState", &TgpColumn::TitleState, &TgpColumn::SetTitleStateField).Default(tsSortedNone);
  t.Prop("FooterText", &TgpColumn::FooterText, &TgpColumn::SetFooterText);
  t.Prop("FooterTextAlignment", &TgpColumn::FooterTextAlignment, &TgpColumn::SetFooterTextAlignment)
      .Default(talDefault);
  t.Prop("FooterState", &TgpColumn::FooterState, &TgpColumn::SetFooterStateField).Default(fsNone);
  t.Prop("FooterStates", &TgpColumn::FooterStates, &TgpColumn::SetFooterStates).Default(AllFooterStates);
  t.Prop("Tag", &TgpColumn::Tag, &TgpColumn::SetTag).Default(0);
  t.Prop("Width", &TgpColumn::Width, &TgpColumn::SetWidth).Default(DefaultWidth);
  t.Prop("LayoutLevel", &TgpColumn::LayoutLevel, &TgpColumn::SetLayoutLevel).Default(0);
  t.Prop("LayoutIndex", &TgpColumn::LayoutIndex, &TgpColumn::SetLayoutIndex).Default(0);
  t.Prop("ReadOnly", &TgpColumn::ReadOnly, &TgpColumn::SetReadOnly).Default(false);
  t.Prop("Color", &TgpColumn::Color, &TgpColumn::SetColor).Default(clNone).Idents(colors);
  t.Prop("Alignment", &TgpColumn::Alignment, &TgpColumn::SetAlignment).Default(talDefault);
  t.Prop("VertAlignment", &TgpColumn::VertAlignment, &TgpColumn::SetVertAlignment).Default(tlaDefault);
  t.Prop("Font", &TgpColumn::Font, &TgpColumn::SetFont).Stored(&TgpColumn::IsFontStored);
  t.Prop("PopupMenu", &TgpColumn::PopupMenu, &TgpColumn::SetPopupMenu);
  t.Prop("Visible", &TgpColumn::Visible, &TgpColumn::SetVisible).Default(true);
}

TgpColumn::TgpColumn(TCollection* collection) : TCollectionItem(collection) {
  TDBDivoRud* grid = GetGrid();
  fFieldList = std::make_unique<TgpFieldList>(this, fhtColumn, this, grid ? grid->DataLink() : nullptr);
  fFieldList->SetColumn(this);
  if (grid) {
    fFieldList->SetActionTarget(grid, &grid->OnAction);
    fFieldList->SetAttrs(grid->Attrs());
  }
  fFooterAttrs = std::make_unique<TgpFooterAttrs>(this);
}

TgpColumn::~TgpColumn() {
  if (TgpColumns* columns = GetColumns()) {
    // While the whole collection is cleared, assigned, read or destroyed, the columns left
    // behind are re-laid out once at the end: regrouping each would be quadratic.
    if (!columns->fDestroying && !columns->IsFrozen()) {
      if (!fVisible) SetVisible(true);
      // Leaving last as a group of its own keeps the former group's width.
      if (fGroup && !fGroup->Single) columns->Outgroup(this, nullptr);
    }
    columns->ColumnDestroying(this);
  }
  griddetail::ForgetFooterMenuColumn(this);
  fFieldList.reset();
  fFont.reset();
  fTitleGlyph.reset();
}

TDBDivoRud* TgpColumn::GetGrid() const {
  auto* columns = dynamic_cast<TgpColumns*>(Collection());
  return columns ? columns->Grid() : nullptr;
}

TgpColumns* TgpColumn::GetColumns() const { return dynamic_cast<TgpColumns*>(Collection()); }

TvpCustomFieldMapper* TgpColumn::GetMapper() const {
  TDBDivoRud* grid = GetGrid();
  return grid ? grid->Mapper() : nullptr;
}

TvpFieldVision* TgpColumn::CurVision() const { return fFieldList ? fFieldList->Vision() : nullptr; }

bool TgpColumn::IsLayoutFrozen() const {
  TgpColumns* columns = GetColumns();
  return !columns || columns->IsFrozen();
}

bool TgpColumn::IsVisionStored() const {
  return fVision && !(fOptionsMapping.Contains(cioImportDomain) && GetMapper());
}

bool TgpColumn::IsCaptionStored() const {
  return !fCaption.empty() && !(fOptionsMapping.Contains(cioImportCaption) && GetMapper());
}

bool TgpColumn::FieldNameIs(std::string_view name) const { return AnsiSameText(fFieldName, name); }

String TgpColumn::DisplayName() const {
  if (!fCaption.empty()) return fCaption;
  if (!fFieldName.empty()) return fFieldName;
  return TCollectionItem::DisplayName();
}

// ---- Property setters -------------------------------------------------------------------

void TgpColumn::SetFieldName(const String& value) {
  if (value == fFieldName) return;
  fFieldName = value;
  fFieldList->SetFieldNames(value);
  TDBDivoRud* grid = GetGrid();
  if (grid && grid->IsLoading()) return;
  UpdateFields();
  UpdateFieldMap();
}

void TgpColumn::SetVision(TvpFieldVision* value) { fFieldList->SetVision(value); }

void TgpColumn::SetOptionsVisual(TgpColumnVisualOptions value) {
  if (value == fOptionsVisual) return;
  fOptionsVisual = value;
  Invalidate();
}

void TgpColumn::SetOptionsBehavior(TgpColumnBehaviorOptions value) {
  if (value == fOptionsBehavior) return;
  const TgpColumnBehaviorOptions changed = (value - fOptionsBehavior) + (fOptionsBehavior - value);
  fOptionsBehavior = value;
  TgpColumns* columns = GetColumns();
  if (!columns || IsLayoutFrozen()) return;
  if (changed.Contains(cboFixedWidth) || changed.Contains(cboStandalone)) columns->UpdateGroupBehavior(this);
  if (changed.Contains(cboNoSelecting)) {
    columns->UpdateSelectable();
    TDBDivoRud* grid = GetGrid();
    if (grid && grid->CurrentColumn() == this && !Selectable()) grid->SetCol(columns->GetNearSelectable());
  }
}

void TgpColumn::SetOptionsMapping(TgpColumnMappingOptions value) {
  if (value == fOptionsMapping) return;
  fOptionsMapping = value;
  UpdateFieldMap();
}

void TgpColumn::SetFixed(TgpColumnFixed value) {
  if (value == fFixed) return;
  fFixed = value;
  if (IsLayoutFrozen()) return;
  GetColumns()->UpdateFixedPos();
}

void TgpColumn::SetDisplayFormat(const String& value) {
  if (value == fDisplayFormat) return;
  fDisplayFormat = value;
  fFieldList->SetDisplayFormat(value);
  Invalidate();
}

void TgpColumn::SetEditFormat(const String& value) {
  fEditFormat = value;
  fFieldList->SetEditFormat(value);
}

void TgpColumn::SetCaption(const String& value) {
  if (value == fCaption) return;
  fCaption = value;
  // A caption typed by hand stops the mapper's from replacing it.
  if (!fMapping && GetMapper() && fOptionsMapping.Contains(cioImportCaption)) fOptionsMapping.Exclude(cioImportCaption);
  UpdateVisualAttrs();
  InvalidateTitle();
}

void TgpColumn::SetCaptionAlignment(TvpDefAlignment value) {
  if (value == fCaptionAlignment) return;
  fCaptionAlignment = value;
  InvalidateTitle();
}

TBitmap* TgpColumn::TitleGlyph() const {
  if (!fTitleGlyph) {
    fTitleGlyph = std::make_unique<TBitmap>();
    fTitleGlyph->SetTransparent(true);
  }
  return fTitleGlyph.get();
}

void TgpColumn::SetTitleGlyph(TBitmap* value) {
  if (value) {
    TitleGlyph()->Assign(value);
    fTitleGlyph->SetTransparent(true);
  } else {
    fTitleGlyph.reset();
  }
  fTitleImageIndex = -1;
  UpdateHeight();
}

void TgpColumn::SetTitleImageIndex(int value) {
  if (value == fTitleImageIndex && !fTitleGlyph) return;
  fTitleImageIndex = value;
  fTitleGlyph.reset();
  UpdateHeight();
}

void TgpColumn::SetTitleStateField(TgpColumnTitleState value) {
  if (value == fTitleState) return;
  fTitleState = value;
  if (value == tsSortedNone)
    fSortID = -1;
  else if (TDBDivoRud* grid = GetGrid(); grid && fSortID == -1)
    fSortID = grid->NextTitleStateID();
  InvalidateTitle();
}

void TgpColumn::SetFooterText(const String& value) {
  if (value == fFooterText) return;
  fFooterText = value;
  InvalidateFooter();
}

void TgpColumn::SetFooterTextAlignment(TvpDefAlignment value) {
  if (value == fFooterTextAlignment) return;
  fFooterTextAlignment = value;
  InvalidateFooter();
}

void TgpColumn::SetFooterStateField(TgpColumnFooterState value) {
  if (value == fFooterState) return;
  fFooterState = value;
  fFooterText.clear();
  InvalidateFooter();
}

void TgpColumn::SetLayoutLevel(int value) {
  if (value == fLayoutLevel) return;
  if (IsLayoutFrozen()) {
    fLayoutLevel = value;
    return;
  }
  MoveInLayout(value, fLayoutIndex);
}

void TgpColumn::SetLayoutIndex(int value) {
  if (value == fLayoutIndex) return;
  if (IsLayoutFrozen()) {
    fLayoutIndex = value;
    return;
  }
  MoveInLayout(fLayoutLevel, value);
}

void TgpColumn::MoveInLayout(int level, int index) {
  TgpColumns* columns = GetColumns();
  TgpColumn* target = this;
  // A column that forms a group alone cannot stand anywhere but (0, 0) in it: any other
  // position means it joins the group in front.
  const int i = Index();
  const int start = columns->GroupStart(i);
  if (start == i && columns->GroupEnd(i) == i && (level != 0 || index != 0) && i > 0)
    target = columns->Items(columns->GroupStart(i - 1));
  columns->Regroup(this, target, index, level);
}

void TgpColumn::SetColor(TColor value) {
  if (value == fColor) return;
  fColor = value;
  Invalidate();
}

void TgpColumn::SetAlignment(TvpDefAlignment value) {
  if (value == fAlignment) return;
  fAlignment = value;
  UpdateVisualAttrs();
  Invalidate();
}

void TgpColumn::SetVertAlignment(TvpDefLayout value) {
  if (value == fVertAlignment) return;
  fVertAlignment = value;
  UpdateVisualAttrs();
  Invalidate();
}

TChildFont* TgpColumn::Font() const {
  if (!fFont) {
    fFont = std::make_unique<TChildFont>();
    auto* self = const_cast<TgpColumn*>(this);
    fFont->OnChange = [self](TObject* sender) { self->FontChanged(sender); };
  }
  return fFont.get();
}

void TgpColumn::SetFont(TChildFont* value) {
  if (!value) {
    if (!fFont) return;
    fFont.reset();
    UpdateHeight();
    return;
  }
  Font()->Assign(value);
}

void TgpColumn::FontChanged(TObject*) { UpdateHeight(); }

void TgpColumn::SetPopupMenu(TPopupMenu* value) {
  if (value == fPopupMenu) return;
  fPopupMenu = value;
  if (value) {
    if (TDBDivoRud* grid = GetGrid()) value->FreeNotification(grid);
  }
}

namespace {
int LevelHeightOf(const TgpColumn& column, TgpGridArea area) {
  const TDBDivoRud* grid = column.GetGrid();
  const TgpGroupInfo* group = column.Group();
  return grid && group ? grid->Layout().LevelHeight(area, group->LevelCount) : 0;
}
}  // namespace

int TgpColumn::TitleLevelHeight() const { return LevelHeightOf(*this, gaTitle); }
int TgpColumn::CellLevelHeight() const { return LevelHeightOf(*this, gaCell); }
int TgpColumn::FooterLevelHeight() const { return LevelHeightOf(*this, gaFooter); }
int TgpColumn::OffsetInLevel() const { return TgpGridLayout::OffsetInLevel(*this); }

// ---- Copying -----------------------------------------------------------------------------

void TgpColumn::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TgpColumn*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  AssignEx(other, apAll);
}

void TgpColumn::AssignEx(const TgpColumn* source, int parts) {
  if (!source || source == this) return;
  const bool all = parts == apAll;
  auto has = [&](int bit) { return all || (parts & bit) != 0; };
  TFlagScope assigning(fAssigning, true, false);
  if (has(apPosition)) {
    fWidth = source->fWidth;
    fLayoutLevel = source->fLayoutLevel;
    fLayoutIndex = source->fLayoutIndex;
    fActualLevel = source->fActualLevel;
    fActualIndex = source->fActualIndex;
  }
  if (has(apVisible)) fVisible = source->fVisible;
  if (has(apStates)) {
    fTitleState = source->fTitleState;
    fSortID = source->fSortID;
    fFooterState = source->fFooterState;
  }
  if (has(apLooks)) {
    fOptionsVisual = source->fOptionsVisual;
    fColor = source->fColor;
    fAlignment = source->fAlignment;
    SetFont(source->fFont.get());
  }
  if (all) {
    fCaption = source->fCaption;
    SetTitleGlyph(source->HasTitleGlyph() ? source->fTitleGlyph.get() : nullptr);
    fCaptionAlignment = source->fCaptionAlignment;
    fTitleImageIndex = source->fTitleImageIndex;
    fFooterText = source->fFooterText;
    fFooterTextAlignment = source->fFooterTextAlignment;
    fFooterStates = source->fFooterStates;
    SetPopupMenu(source->fPopupMenu);
    fReadOnly = source->fReadOnly;
    fOptionsMapping = source->fOptionsMapping;
    fTag = source->fTag;
    fFixed = source->fFixed;
    fDisplayFormat = source->fDisplayFormat;
    fFieldList->SetDisplayFormat(fDisplayFormat);
    fEditFormat = source->fEditFormat;
    fFieldList->SetEditFormat(fEditFormat);
    fVertAlignment = source->fVertAlignment;
  }
  if (has(apVision)) {
    // The copy keeps the source's import options: its vision is not a choice made by hand.
    TFlagScope mapping(fMapping);
    SetVision(source->fVision);
  }
  if (has(apFieldName)) {
    fFieldName = source->fFieldName;
    fFieldList->SetFieldNames(fFieldName);
  }
  if (has(apOptionsBehavior)) fOptionsBehavior = source->fOptionsBehavior;
  UpdateFields();
  UpdateFieldMap();
  Changed(false);
}

// ---- Mapper ------------------------------------------------------------------------------

void TgpColumn::UpdateFieldMap() {
  TDBDivoRud* grid = GetGrid();
  TvpCustomFieldMapper* mapper = grid ? grid->Mapper() : nullptr;
  if (!mapper || grid->IsLoading()) return;
  if (fFieldName.empty() || fOptionsMapping.Empty()) return;
  TFlagScope mapping(fMapping);
  TvpFieldMap* map = mapper->FindMap(fFieldList.get());
  if (fOptionsMapping.Contains(cioImportDomain)) SetVision(map ? map->Vision() : nullptr);
  if (fOptionsMapping.Contains(cioImportCaption)) SetCaption(map ? map->Caption() : String());
}

// ---- Consumer side -----------------------------------------------------------------------

TComponent* TgpColumn::GetComponent() { return GetGrid(); }

bool TgpColumn::CanModify() {
  TDBDivoRud* grid = GetGrid();
  return !fReadOnly && grid && !grid->ReadOnly() && fFieldList->Valid();
}

bool TgpColumn::DoBeforeEdit() {
  TvpFieldVision* vision = CurVision();
  if (vision && !vision->FireBeforeEdit(*fFieldList)) return false;
  TDBDivoRud* grid = GetGrid();
  return !grid || grid->FireBeforeFieldEdit(this);
}

void TgpColumn::DoAfterPost() {
  TDBDivoRud* grid = GetGrid();
  if (!grid) return;
  TgpFieldEditAction action = feaNone;
  grid->FireAfterFieldPost(this, fpcUnknown, action);
}

void TgpColumn::VisionChanged(TvpFieldVision* vision) {
  TvpFieldVision* old = fVision;
  fVision = vision;
  // A vision that is being destroyed leaves by itself: that is not a choice made by hand, and
  // whether the grid or the field list hears of it first must not matter.
  const bool oldDying = old && old->ComponentState().Contains(csDestroying);
  if (vision != old && !oldDying && !fMapping && GetMapper() && fOptionsMapping.Contains(cioImportDomain))
    fOptionsMapping.Exclude(cioImportDomain);
  if (!fFieldList) return;  // still being built
  UpdateFields();
  UpdateHeight();
}

void TgpColumn::UpdateFields() {
  TDBDivoRud* grid = GetGrid();
  fFieldList->UpdateList(grid ? grid->DataSet() : nullptr);
  fField = fFieldList->MainField();
  ValidateFields();
  UpdateVisualAttrs();
  Invalidate();
}

void TgpColumn::ValidateFields() {
  TDBDivoRud* grid = GetGrid();
  TDataSet* dataSet = grid ? grid->DataSet() : nullptr;
  bool valid = dataSet && dataSet->Active();
  if (valid) {
    if (TvpFieldVision* vision = CurVision())
      vision->VM_ValidFields(*fFieldList, valid);
    else
      valid = !fFieldName.empty() && fFieldList->MainField() != nullptr;
  }
  fFieldList->SetValid(valid);
}

namespace {

TAlignment ToAlignment(TvpDefAlignment value) {
  switch (value) {
    case talRightJustify: return taRightJustify;
    case talCenter: return taCenter;
    default: return taLeftJustify;
  }
}

TLayout ToLayout(TvpDefLayout value) {
  switch (value) {
    case tlaTop: return tlTop;
    case tlaBottom: return tlBottom;
    default: return tlCenter;
  }
}

}  // namespace

bool TgpColumn::UpdateVisualAttrs() {
  TvpFieldVision* vision = CurVision();
  TDBDivoRud* grid = GetGrid();
  String caption = fCaption;
  if (caption.empty()) {
    if (vision)
      caption = vision->DefaultCaption(*fFieldList);
    else if (TField* field = fFieldList->MainField())
      caption = field->DisplayLabel();
  }
  TAlignment alignment = taLeftJustify;
  if (vision && vision->Alignment() != talDefault)
    alignment = ToAlignment(vision->Alignment());
  else if (fAlignment != talDefault)
    alignment = ToAlignment(fAlignment);
  else if (vision)
    alignment = vision->DefaultAlignment(*fFieldList);
  TLayout layout = tlCenter;
  const TvpDefLayout visionLayout = vision ? vision->DefaultLayout(*fFieldList) : tlaDefault;
  if (fVertAlignment != tlaDefault)
    layout = ToLayout(fVertAlignment);
  else if (visionLayout != tlaDefault || !grid)
    layout = ToLayout(visionLayout);
  else
    layout = grid->VertAlignment();
  const bool changed = caption != fFieldList->Caption() || alignment != fFieldList->Alignment() ||
                       layout != fFieldList->Layout();
  fFieldList->SetCaption(caption);
  fFieldList->SetAlignment(alignment);
  fFieldList->SetLayout(layout);
  return changed;
}

String TgpColumn::GetText(bool displayText) {
  TvpFieldVision* vision = CurVision();
  if (!fFieldList->Valid()) return {};
  if (vision) return vision->GetText(*fFieldList, displayText);
  TField* field = fFieldList->MainField();
  return field ? StoredValueText(*field, displayText) : String();
}

int TgpColumn::CalcTitleHeight(int lines, int margins) {
  TDBDivoRud* grid = GetGrid();
  int textHeight = 13;  // what a window-less grid measures
  if (grid && grid->HandleAllocated()) {
    TCanvas* canvas = grid->Canvas();
    canvas->Font()->Assign(grid->Font());
    if (TgpDesigner* designer = grid->Designer(); designer && designer->HasTitleFont())
      designer->TitleFont()->CopyTo(*canvas->Font());
    textHeight = canvas->TextHeight("Wg");
  }
  int height = lines * textHeight + margins;
  if (HasTitleGlyph())
    height = std::max(height, fTitleGlyph->Height() + 2);
  else if (fTitleImageIndex != -1 && grid && grid->TitleImages())
    height = std::max(height, grid->TitleImages()->Height() + 2);
  return height;
}

void TgpColumn::Invalidate() {
  TDBDivoRud* grid = GetGrid();
  if (fAssigning || fNoInvalidate || !grid || grid->IsLoading()) return;
  grid->InvalidateCol(Index());
}

void TgpColumn::InvalidateTitle() {
  TDBDivoRud* grid = GetGrid();
  if (!fAssigning && !fNoInvalidate && grid && !grid->IsLoading()) grid->InvalidateTitle(Index());
}

void TgpColumn::InvalidateFooter() {
  TDBDivoRud* grid = GetGrid();
  if (!fAssigning && !fNoInvalidate && grid && !grid->IsLoading()) grid->InvalidateFooter(Index());
}

void TgpColumn::UpdateHeight() {
  TDBDivoRud* grid = GetGrid();
  if (fAssigning || !grid || grid->IsLoading()) return;
  grid->ColumnHeightChanged(this);
}

void TgpColumn::SetIndex(int index) {
  TgpColumns* columns = GetColumns();
  if (!columns || columns->InternalOp() != TgpColumns::ioNone) {
    TCollectionItem::SetIndex(index);
    return;
  }
  const int current = Index();
  if (index == current) return;
  TgpColumn* target = columns->Items(index);  // raises for an index out of range
  const int myStart = columns->GroupStart(current);
  const int targetStart = columns->GroupStart(index);
  if (myStart == targetStart) return;
  TgpColumn* before = nullptr;
  if (index > current) {
    const int next = columns->GroupEnd(index) + 1;
    before = next < columns->Count() ? columns->Items(next) : nullptr;
  } else {
    before = columns->Items(targetStart);
  }
  (void)target;
  columns->MoveGroup(columns->Items(myStart), before);
}

// ---- Streaming ---------------------------------------------------------------------------

void TgpColumn::DefineProperties(TFiler& filer) {
  TCollectionItem::DefineProperties(filer);
  filer.DefineProperty(
      "SortOrder",
      [this](TReader& reader) {
        const auto value = reader.ReadInteger();
        if (value < INT32_MIN || value > INT32_MAX) throw EReadError("Invalid property value");
        // An unsorted column has no number, whatever was stored; a number read never lowers the
        // counter, which would hand out numbers already taken.
        if (fTitleState == tsSortedNone) {
          fSortID = -1;
          return;
        }
        fSortID = static_cast<int>(value);
        if (TDBDivoRud* grid = GetGrid()) {
          if (fSortID > grid->TitleStateCounter()) grid->SetTitleStateCounter(fSortID);
          // Read into a live grid (a layout string): renumbered once the collection is read.
          if (!grid->IsLoading()) GetColumns()->fSortOrderRead = true;
        }
      },
      [this](TWriter& writer) { writer.WriteInteger(fSortID); }, IsSortIDStored());
}

// ---- Footer attributes and cell attributes -----------------------------------------------

ZV_DEFINE_CLASS(TgpFooterAttrs, TPersistent)

void TgpGroupInfo::Clear() {
  Number = Ordinal = FirstIndex = LastIndex = FirstVisible = SecondVisible = LastVisible = -1;
  LevelCount = 0;
  Single = HasFixedWidth = HasStandalone = InView = false;
  ContentWidth = TotalWidth = MinWidth = LineWidth = Left = DisplayLeft = 0;
  FixedKind = cfNone;
}

void TgpFooterAttrs::SetColor(int selector, TColor value) {
  TColor* target = selector == 1 ? &fColor : selector == 2 ? &fFontColor : nullptr;
  if (!target) throw EZVError(Format("Invalid footer colour selector (%d)", {selector}));
  if (*target == value) return;
  *target = value;
  Changed();
}

void TgpFooterAttrs::SetFontStyle(TFontStyles value) {
  if (value == fFontStyle) return;
  fFontStyle = value;
  Changed();
}

void TgpFooterAttrs::SetFontName(const String& value) {
  if (value == fFontName) return;
  fFontName = value;
  Changed();
}

void TgpFooterAttrs::Reset() {
  fColor = clNone;
  fFontColor = clNone;
  fFontStyle = TFontStyles{};
  fFontName.clear();
  Changed();
}

void TgpFooterAttrs::Assign(const TPersistent* source) {
  if (!source) {
    Reset();
    return;
  }
  auto* other = dynamic_cast<const TgpFooterAttrs*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  fColor = other->fColor;
  fFontColor = other->fFontColor;
  fFontStyle = other->fFontStyle;
  fFontName = other->fFontName;
  Changed();
}

void TgpFooterAttrs::Changed() {
  if (fColumn) fColumn->InvalidateFooter();
}

TgpCellAttrs* TgpCellAttrsList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return fItems[static_cast<std::size_t>(index)].get();
}

void TgpCellAttrsList::SetCount(int count) {
  count = std::max(count, 0);
  if (count < Count()) {
    fItems.erase(fItems.begin(), fItems.begin() + (Count() - count));
    return;
  }
  while (Count() < count) fItems.push_back(std::make_unique<TgpCellAttrs>());
}

}  // namespace zv
