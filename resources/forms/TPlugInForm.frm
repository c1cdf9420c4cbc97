object PlugInForm: TPlugInForm
  Left = 190
  Top = 130
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'Plug-Ins List'
  ClientHeight = 329
  ClientWidth = 633
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object Label1: TLabel
    Left = 8
    Top = 224
    Caption = 'Click on the selected library under '#39'Devices'#39' to see a complete list  of devices the library programs'
  end
  object Label2: TLabel
    Left = 8
    Top = 242
    Caption = 'Click on the selected library under '#39'File Name'#39' to select the working library.'
  end
  object Label3: TLabel
    Left = 8
    Top = 270
    Caption = 'Working Library Selected:'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label4: TLabel
    Left = 168
    Top = 270
    Caption = 'none'
    Font.Style = [fsBold]
    ParentFont = False
    ShowAccelChar = False
  end
  object SG1: TStringGrid
    Left = 8
    Top = 8
    Width = 617
    Height = 205
    ColCount = 7
    DefaultRowHeight = 16
    FixedCols = 1
    FixedRows = 1
    Font.Name = 'Arial Narrow'
    Font.Size = 8
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing]
    ParentFont = False
    TabOrder = 0
    ColWidths = (24 73 54 44 107 39 261)
    OnMouseDown = SG1MouseDown
    OnSelectCell = SG1SelectCell
  end
  object BitBtn1: TBitBtn
    Left = 544
    Top = 292
    Width = 81
    Height = 27
    TabOrder = 1
    Kind = bkOK
  end
end
