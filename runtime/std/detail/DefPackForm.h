#pragma once
// The default pack's form text, read by the form streaming when the pack is created. A
// calculator key's Tag is the engine key it sends (TvpCalcButton); the square root key's glyph
// is drawn at creation.

namespace zv {

inline constexpr const char DefPackFormText[] = R"zvform(object zvDefPack: TzvDefPack
  Left = 0
  Top = 0
  Width = 664
  Height = 340
  Caption = ''
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object vtfDataList: TVisionToolForm
    Tag = 2
    Left = 8
    Top = 8
    Width = 169
    Height = 36
    DataGrid = gpDataListList
    OnShow = DataListShow
    OnClose = DataListClose
    OnSizing = DataListSizing
    OnKeyDown = DataListKeyDown
    object gpDataListList: TDBDivoRud
      Tag = 2
      Left = 0
      Top = 0
      Width = 169
      Height = 36
      Align = alClient
      ParentColor = False
      TabStop = True
      BorderStyle = bsNoBorder
      AutoColumnFit = True
      UniqueFields = '_Key'
      ShowTitles = False
      HideSelection = False
      OptionsVisual = [gvoNoEndEllipsis]
      OptionsBehavior = [gboSmartSizing]
      OptionsPickup = [gpoReturnKey, gpoClick, gpoMouseTrack, gpoCaptureRecord]
      ReadOnly = True
      CursorType = gctInsensitiveID
      Designer = dsgDataList
    end
  end
  object vtfCalendar: TVisionToolForm
    Left = 184
    Top = 8
    Width = 169
    Height = 89
    Options = [tfoFocusable, tfoFixedWidth, tfoFixedHeight]
  end
  object vtfBlobPicker: TVisionToolForm
    Left = 360
    Top = 8
    Width = 169
    Height = 105
    ActiveControl = pnBlobPickerBG
    Options = [tfoFocusable, tfoNoAutoPost]
    OnShow = BlobPickerShow
    OnPostChanges = BlobPickerPostChanges
    OnClose = BlobPickerClose
    OnShortCut = BlobPickerShortCut
    OnEditAction = BlobPickerEditAction
    object pnBlobPickerCtrl: TPanel
      Left = 0
      Top = 73
      Width = 169
      Height = 32
      Align = alBottom
      BevelOuter = bvNone
      object bvBlobPickerBevel: TBevel
        Left = 0
        Top = 0
        Width = 169
        Height = 2
        Align = alTop
        Shape = bsBottomLine
        Style = bsRaised
      end
      object pnBlobPickerCtrl2: TPanel
        Left = 33
        Top = 2
        Width = 136
        Height = 30
        Align = alRight
        BevelOuter = bvNone
        object btnBlobPickerOK: TButton
          Left = 8
          Top = 4
          Width = 60
          Height = 22
          Caption = 'OK'
          Default = True
          OnClick = BlobPickerOKClick
        end
        object btnBlobPickerCancel: TButton
          Left = 72
          Top = 4
          Width = 60
          Height = 22
          Cancel = True
          Caption = 'Cancel'
          ModalResult = 2
          OnClick = BlobPickerCancelClick
        end
      end
    end
    object pnBlobPickerBG: TPanel
      Left = 0
      Top = 0
      Width = 169
      Height = 73
      Align = alClient
      BevelOuter = bvNone
      Color = clWindow
      FullRepaint = False
    end
  end
  object vtfCalculator: TVisionToolForm
    Left = 8
    Top = 120
    Width = 204
    Height = 144
    Color = clBtnFace
    Options = [tfoFocusable, tfoFixedWidth, tfoFixedHeight]
    OnPaint = CalcPaint
    OnShow = CalcShow
    OnClose = CalcClose
    OnKeyDown = CalcKeyDown
    OnKeyPress = CalcKeyPress
    object pnCalcMemory: TPanel
      Left = 4
      Top = 4
      Width = 84
      Height = 24
      Alignment = taLeftJustify
      BevelOuter = bvLowered
      Font.Color = clGrayText
      Font.Height = -11
      Font.Name = 'Tahoma'
      ParentFont = False
    end
    object cbtnBS: TSpeedButton
      Tag = 26
      Left = 96
      Top = 4
      Width = 32
      Height = 24
      Caption = 'BS'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnCE: TSpeedButton
      Tag = 25
      Left = 132
      Top = 4
      Width = 32
      Height = 24
      Caption = 'CE'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnC: TSpeedButton
      Tag = 24
      Left = 168
      Top = 4
      Width = 32
      Height = 24
      Caption = 'C'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnMC: TSpeedButton
      Tag = 23
      Left = 4
      Top = 32
      Width = 28
      Height = 24
      Caption = 'MC'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnSeven: TSpeedButton
      Tag = 7
      Left = 44
      Top = 32
      Width = 28
      Height = 24
      Caption = '7'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnEight: TSpeedButton
      Tag = 8
      Left = 76
      Top = 32
      Width = 28
      Height = 24
      Caption = '8'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnNine: TSpeedButton
      Tag = 9
      Left = 108
      Top = 32
      Width = 28
      Height = 24
      Caption = '9'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnDiv: TSpeedButton
      Tag = 15
      Left = 140
      Top = 32
      Width = 28
      Height = 24
      Caption = '/'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnSqrt: TSpeedButton
      Tag = 19
      Left = 172
      Top = 32
      Width = 28
      Height = 24
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnMR: TSpeedButton
      Tag = 22
      Left = 4
      Top = 60
      Width = 28
      Height = 24
      Caption = 'MR'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnFour: TSpeedButton
      Tag = 4
      Left = 44
      Top = 60
      Width = 28
      Height = 24
      Caption = '4'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnFive: TSpeedButton
      Tag = 5
      Left = 76
      Top = 60
      Width = 28
      Height = 24
      Caption = '5'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnSix: TSpeedButton
      Tag = 6
      Left = 108
      Top = 60
      Width = 28
      Height = 24
      Caption = '6'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnMult: TSpeedButton
      Tag = 14
      Left = 140
      Top = 60
      Width = 28
      Height = 24
      Caption = '*'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnPerc: TSpeedButton
      Tag = 17
      Left = 172
      Top = 60
      Width = 28
      Height = 24
      Caption = '%'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnMS: TSpeedButton
      Tag = 20
      Left = 4
      Top = 88
      Width = 28
      Height = 24
      Caption = 'MS'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnOne: TSpeedButton
      Tag = 1
      Left = 44
      Top = 88
      Width = 28
      Height = 24
      Caption = '1'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnTwo: TSpeedButton
      Tag = 2
      Left = 76
      Top = 88
      Width = 28
      Height = 24
      Caption = '2'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnThree: TSpeedButton
      Tag = 3
      Left = 108
      Top = 88
      Width = 28
      Height = 24
      Caption = '3'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnMinus: TSpeedButton
      Tag = 13
      Left = 140
      Top = 88
      Width = 28
      Height = 24
      Caption = '-'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtn1DivX: TSpeedButton
      Tag = 18
      Left = 172
      Top = 88
      Width = 28
      Height = 24
      Caption = '1/x'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnMPlus: TSpeedButton
      Tag = 21
      Left = 4
      Top = 116
      Width = 28
      Height = 24
      Caption = 'M+'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnZero: TSpeedButton
      Tag = 0
      Left = 44
      Top = 116
      Width = 28
      Height = 24
      Caption = '0'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnChSign: TSpeedButton
      Tag = 11
      Left = 76
      Top = 116
      Width = 28
      Height = 24
      Caption = '+/-'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnPoint: TSpeedButton
      Tag = 10
      Left = 108
      Top = 116
      Width = 28
      Height = 24
      Caption = ','
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnPlus: TSpeedButton
      Tag = 12
      Left = 140
      Top = 116
      Width = 28
      Height = 24
      Caption = '+'
      Flat = True
      OnClick = CalcButtonClick
    end
    object cbtnEqu: TSpeedButton
      Tag = 16
      Left = 172
      Top = 116
      Width = 28
      Height = 24
      Caption = '='
      Flat = True
      OnClick = CalcButtonClick
    end
  end
  object DsgnListNormal: TLiteDesigner
    HiddenSelection = clNone
    VertLines = clSilver
    HorizLines = clSilver
  end
  object DsgnListFlat: TLiteDesigner
    HiddenSelection = clNone
    VertLines = clSilver
    HorizLines = clSilver
    TitleStyle = ltsFlat
  end
  object DsgnViewSimple: TLiteDesigner
    FocusRectKind = frcNone
    CellMargins.TopMargin = 1
    CellMargins.BottomMargin = 1
    HiddenSelection = clNone
    SelectedCellFill = False
    VertLines = clSilver
    HorizLines = clSilver
    ShowLines = False
  end
  object DsgnList: TLiteDesigner
    CellMargins.TopMargin = 1
    CellMargins.BottomMargin = 1
    VertLines = clSilver
    HorizLines = clSilver
    ShowLines = False
  end
  object DsgnListActive: TLiteDesigner
    FocusRectKind = frcPersistentRow
    CellMargins.TopMargin = 1
    CellMargins.BottomMargin = 1
    SelectedRowFill = True
    VertLines = clSilver
    HorizLines = clSilver
    CellSeparator = clNone
    ShowLines = False
  end
  object DsgnListClassic: TLiteDesigner
    VertLines = clSilver
    HorizLines = clSilver
  end
  object dsgDataList: TLiteDesigner
    Tag = -1
    FocusRectKind = frcNone
    CellMargins.TopMargin = 1
    CellMargins.BottomMargin = 1
    SelectedCellFill = False
    SelectedRowFill = True
    VertLines = clSilver
    HorizLines = clNone
    ShowLastLine = False
  end
  object TitleSurface: TStandardVision
    Description = 'Determines 3D style of the cell.'
    ReadOnly = True
    OnDraw = TitleSurfaceDraw
  end
  object Date: TDateVision
    EnableButton = False
  end
  object Calendar: TDateVision
  end
  object CalendarSimple: TDateVision
    Buttons = []
  end
  object Time: TTimeVision
    EnableButton = False
    EditFormatKind = tefDefault
  end
  object TimeShort: TTimeVision
    DisplayFormatKind = dfkShort
  end
  object Numeric: TNumericVision
    Description = 'Dsiplays and edits data as number.'
    DropDownKind = ndkCustom
  end
  object NumericDef: TNumericVision
    Description = 'Number format, two digits after decimal separator.'
    DisplayFormat = '0.00'
    DropDownKind = ndkCustom
  end
  object NumericDefSep: TNumericVision
    Description = 'Number format, two digits after decimal separator, thousand separator.'
    DisplayFormat = '0.00,'
    DropDownKind = ndkCustom
  end
  object NumericSpin: TNumericVision
    Description = 'Number format, spin buttons are available.'
    ButtonStyle = pbsSpin
    EnableButton = True
    DropDownKind = ndkCustom
  end
  object Calculator: TNumericVision
    ButtonStyle = pbsDropDown
    EnableButton = True
    DropDownKind = ndkCalculator
  end
  object CheckBoxBool: TCheckBoxVision
  end
  object CheckBoxInt: TCheckBoxVision
    ValueChecked = '1'
    ValueUnChecked = '0'
  end
  object Memo: TMemoVision
    EditWordWrap = False
    EditScrollBars = ssNone
  end
  object Image: TImageVision
  end
  object ColorPicker: TStandardVision
    Alignment = talLeftJustify
    Images = NullImageList
    SkipCharValidation = True
    OnDblClick = ColorPickerDblClick
    OnGetText = ColorPickerGetText
    OnDraw = ColorPickerDraw
    OnDrawEdit = ColorPickerDrawEdit
    BeforePost = ColorPickerBeforePost
  end
  object visImagedText: TLiteVision
    Tag = -1
    OnDraw = ImagedTextDraw
  end
  object BlobContextMenu: TPopupMenu
    object miBlobCut: TMenuItem
      Tag = 1
      Caption = 'Cut'
      ImageIndex = 0
    end
    object miBlobCopy: TMenuItem
      Tag = 2
      Caption = 'Copy'
      ImageIndex = 1
    end
    object miBlobPaste: TMenuItem
      Tag = 3
      Caption = 'Paste'
      ImageIndex = 2
    end
    object miBlobClear: TMenuItem
      Tag = 4
      Caption = 'Clear'
      ImageIndex = 3
    end
    object miBlobSep1: TMenuItem
      Caption = '-'
    end
    object miBlobLoad: TMenuItem
      Tag = 5
      Caption = 'Load...'
      ImageIndex = 4
    end
    object miBlobSaveTo: TMenuItem
      Tag = 6
      Caption = 'Save to...'
      ImageIndex = 5
    end
    object miBlobSep2: TMenuItem
      Caption = '-'
    end
    object miBlobPreview: TMenuItem
      Tag = 7
      Caption = 'Preview'
      ImageIndex = 6
    end
  end
  object PictureContextMenu: TPopupMenu
    object miPictCut: TMenuItem
      Tag = 1
      Caption = 'Cut'
      ImageIndex = 0
    end
    object miPictCopy: TMenuItem
      Tag = 2
      Caption = 'Copy'
      ImageIndex = 1
    end
    object miPictPaste: TMenuItem
      Tag = 3
      Caption = 'Paste'
      ImageIndex = 2
    end
    object miPictClear: TMenuItem
      Tag = 4
      Caption = 'Clear'
      ImageIndex = 3
    end
    object miPictSep1: TMenuItem
      Caption = '-'
    end
    object miPictLoad: TMenuItem
      Tag = 5
      Caption = 'Load...'
      ImageIndex = 4
    end
    object miPictSaveTo: TMenuItem
      Tag = 6
      Caption = 'Save to...'
      ImageIndex = 5
    end
    object miPictSep2: TMenuItem
      Caption = '-'
    end
    object miPictPreview: TMenuItem
      Tag = 7
      Caption = 'Preview'
      ImageIndex = 6
    end
  end
  object NullImageList: TImageList
  end
end
)zvform";

}  // namespace zv
