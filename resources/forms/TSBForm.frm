object SBForm: TSBForm
  Left = 250
  Top = 150
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'Special Bits'
  ClientHeight = 336
  ClientWidth = 400
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  object Label1: TLabel
    Left = 10
    Top = 8
    Caption = 'Label1'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object SpecBitsGrid: TStringGrid
    Left = 10
    Top = 28
    Width = 380
    Height = 220
    ColCount = 3
    DefaultRowHeight = 17
    FixedCols = 1
    FixedRows = 1
    RowCount = 2
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRowSizing, goColSizing, goEditing, goAlwaysShowEditor, goThumbTracking]
    TabOrder = 0
    OnDrawCell = SpecBitsGridDrawCell
    OnSelectCell = SpecBitsGridSelectCell
    ColWidths = (
      100
      160
      94)
  end
  object Label2: TLabel
    Left = 10
    Top = 256
    Caption = 'Check the bits you want to program and press OK.'
  end
  object Label3: TLabel
    Left = 10
    Top = 274
    Caption = 'Press Cancel to abort programming.'
  end
  object BitBtn1: TBitBtn
    Left = 106
    Top = 300
    Width = 80
    Height = 25
    TabOrder = 1
    Kind = bkOK
  end
  object BitBtn2: TBitBtn
    Left = 214
    Top = 300
    Width = 80
    Height = 25
    TabOrder = 2
    Kind = bkCancel
    Caption = 'Cancel'
  end
  object ProgYN: TCheckBox
    Left = 120
    Top = 60
    Width = 94
    Height = 19
    Caption = 'Program it!'
    Color = clYellow
    TabOrder = 3
    Visible = False
    OnClick = ProgYNClick
  end
end
