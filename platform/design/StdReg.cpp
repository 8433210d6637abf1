#include "platform/design/StdReg.h"

#include "platform/classes/Modules.h"
#include "platform/classes/Strings.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ControlTypes.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/MaskEdit.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/SpeedButton.h"
#include "platform/controls/StdCtrls.h"
#include "platform/db/DataLink.h"
#include "platform/db/MemTable.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/FileUtils.h"

namespace zv {

TPropertyAttributes TSqliteFileNameProperty::GetAttributes() { return TStringProperty::GetAttributes() + TPropertyAttributes{paDialog}; }

void TSqliteFileNameProperty::Edit() {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter("SQLite databases (*.db;*.sqlite;*.sqlite3)|*.db;*.sqlite;*.sqlite3|All files (*.*)|*.*");
  dialog.SetFileName(GetValue());
  if (dialog.Execute()) SetValue(dialog.FileName());
}

TPropertyAttributes TSqliteTableNameProperty::GetAttributes() {
  return TStringProperty::GetAttributes() + TPropertyAttributes{paValueList, paSortList};
}

void TSqliteTableNameProperty::GetValues(const TGetStrProc& proc) {
  const auto* dataSet = dynamic_cast<const TSqliteDataSet*>(GetComponent(0));
  // Only an existing file: opening one that is not there would create it.
  if (!dataSet || dataSet->FileName().empty() || !FileExists(dataSet->FileName())) return;
  sqlite::TSqliteDatabase database(dataSet->FileName(), true);
  for (const String& table : database.TableNames()) proc(table);
}

void RegisterHostDesignEditors() {
  RegisterPropertyEditor(ColorTypeInfo(), nullptr, "", &PropertyEditorClassOf<TColorProperty>);
  RegisterPropertyEditor(CursorTypeInfo(), nullptr, "", &PropertyEditorClassOf<TCursorProperty>);
  RegisterPropertyEditor(ShortCutTypeInfo(), nullptr, "", &PropertyEditorClassOf<TShortCutProperty>);
  RegisterPropertyEditor(TypeInfoOf<TStrings*>(), nullptr, "", &PropertyEditorClassOf<TStringsProperty>);
  RegisterPropertyEditor(TypeInfoOf<String>(), TComponent::StaticClass(), "Name",
                         &PropertyEditorClassOf<TComponentNameProperty>);
  RegisterPropertyEditor(TypeInfoOf<String>(), TSqliteDataSet::StaticClass(), "FileName",
                         &PropertyEditorClassOf<TSqliteFileNameProperty>);
  RegisterPropertyEditor(TypeInfoOf<String>(), TSqliteDataSet::StaticClass(), "TableName",
                         &PropertyEditorClassOf<TSqliteTableNameProperty>);
  RegisterComponents("Standard", {TPanel::StaticClass(), TEdit::StaticClass(), TMaskEdit::StaticClass(),
                                  TRichEdit::StaticClass(), TSpeedButton::StaticClass(), TPopupMenu::StaticClass(),
                                  TButton::StaticClass(), TLabel::StaticClass(), TComboBox::StaticClass(),
                                  TCheckBox::StaticClass(), TPageControl::StaticClass(), TBevel::StaticClass()});
  RegisterComponents("Data Access",
                     {TDataSource::StaticClass(), TMemTable::StaticClass(), TSqliteDataSet::StaticClass()});
}

ZV_MODULE(design, {.Name = "design", .Uses = {"controls"}, .Initialization = [] { RegisterHostDesignEditors(); }});

}  // namespace zv
