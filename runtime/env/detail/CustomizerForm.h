#pragma once
// The column customizer's form text, read into each customizer when it is created. The list's
// drag mode, its drag events and the window events are wired by the form's code.

namespace zv {

inline constexpr const char CustomizerFormText[] = R"zvform(object zvDivoRudCustomizer: TzvDivoRudCustomizer
  Left = 240
  Top = 100
  Width = 224
  Height = 340
  BorderStyle = bsSizeToolWin
  Caption = 'Customizer'
  FormStyle = fsStayOnTop
  Font.Height = -11
  Font.Name = 'Tahoma'
  object gpList: TDBDivoRud
    Left = 0
    Top = 0
    Width = 224
    Height = 340
    Align = alClient
    BorderStyle = bsSoft
    DataSource = dsFields
    AutoColumnFit = True
    UniqueFields = 'no'
    ShowTitles = False
    ShowEmptyRow = False
    OptionsBehavior = [gboNoIncomingDragTrack, gboNoInsideDragTrack]
    CursorType = gctInsensitiveID
    Designer = ldDesigner
    Columns = <
      item
        FieldName = 'Value'
        Vision = zvDefPack.TitleSurface
        Width = 214
        Color = clBtnFace
      end>
  end
  object pnBottom: TPanel
    Left = 0
    Top = 310
    Width = 224
    Height = 30
    Align = alBottom
    BevelOuter = bvNone
    Visible = False
    object sbClose: TSpeedButton
      Left = 4
      Top = 4
      Width = 80
      Height = 22
      Caption = '[Close]'
      Flat = True
      Font.Height = -11
      Font.Name = 'Tahoma'
      Font.Style = [fsBold]
    end
  end
  object datFields: TObjDataSet
    ReadOnly = True
  end
  object dsFields: TDataSource
    DataSet = datFields
  end
  object ldDesigner: TLiteDesigner
    CellMargins.LeftMargin = 3
    CellMargins.TopMargin = 3
    CellMargins.RightMargin = 3
    CellMargins.BottomMargin = 3
    SelectedCellFill = False
    VertLines = clSilver
    HorizLines = clSilver
    ShowLines = False
  end
end
)zvform";

}  // namespace zv
