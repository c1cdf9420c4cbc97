object FillForm: TFillForm
  Left = 260
  Top = 180
  BorderIcons = []
  BorderStyle = bsSingle
  Caption = 'Fill Buffer'
  ClientHeight = 344
  ClientWidth = 250
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  object GroupFlash: TGroupBox
    Left = 8
    Top = 4
    Width = 234
    Height = 150
    TabOrder = 0
    object FB1: TCheckBox
      Left = 10
      Top = 14
      Width = 150
      Height = 17
      Caption = 'Flash Buffer'
      Checked = True
      Font.Style = [fsBold]
      ParentFont = False
      State = cbChecked
      TabOrder = 0
      OnClick = FB1Click
    end
    object LblFStartAdd: TLabel
      Left = 10
      Top = 42
      Caption = 'Starting address'
    end
    object EdtFStartAdd: TEdit
      Left = 110
      Top = 38
      Width = 80
      Height = 21
      TabOrder = 1
    end
    object CB2: TCheckBox
      Left = 110
      Top = 62
      Width = 110
      Height = 17
      Caption = 'Fill All Buffer'
      TabOrder = 2
      OnClick = CB2Click
    end
    object LblFEndAdd: TLabel
      Left = 10
      Top = 86
      Caption = 'Ending address'
    end
    object EdtFEndAdd: TEdit
      Left = 110
      Top = 82
      Width = 80
      Height = 21
      TabOrder = 3
    end
    object LblFFillValue: TLabel
      Left = 10
      Top = 112
      Caption = 'Fill value'
    end
    object EdtFFillValue: TEdit
      Left = 110
      Top = 108
      Width = 40
      Height = 21
      TabOrder = 4
    end
    object LblFHex: TLabel
      Left = 10
      Top = 132
      Caption = 'All values must be in HEX'
    end
  end
  object GroupEEprom: TGroupBox
    Left = 8
    Top = 158
    Width = 234
    Height = 150
    TabOrder = 1
    object FB2: TCheckBox
      Left = 10
      Top = 14
      Width = 150
      Height = 17
      Caption = 'EEPROM Buffer'
      Checked = True
      Font.Style = [fsBold]
      ParentFont = False
      State = cbChecked
      TabOrder = 0
      OnClick = FB2Click
    end
    object LblEStartAdd: TLabel
      Left = 10
      Top = 42
      Caption = 'Starting address'
    end
    object EdtEStartAdd: TEdit
      Left = 110
      Top = 38
      Width = 80
      Height = 21
      TabOrder = 1
    end
    object CB1: TCheckBox
      Left = 110
      Top = 62
      Width = 110
      Height = 17
      Caption = 'Fill All Buffer'
      TabOrder = 2
      OnClick = CB1Click
    end
    object LblEEndAdd: TLabel
      Left = 10
      Top = 86
      Caption = 'Ending address'
    end
    object EdtEEndAdd: TEdit
      Left = 110
      Top = 82
      Width = 80
      Height = 21
      TabOrder = 3
    end
    object LblEFillValue: TLabel
      Left = 10
      Top = 112
      Caption = 'Fill value'
    end
    object EdtEFillValue: TEdit
      Left = 110
      Top = 108
      Width = 40
      Height = 21
      TabOrder = 4
    end
    object LblEHex: TLabel
      Left = 10
      Top = 132
      Caption = 'All values must be in HEX'
    end
  end
  object BtnOK: TButton
    Left = 40
    Top = 314
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = mrOk
    TabOrder = 2
  end
  object BtnCancel: TButton
    Left = 134
    Top = 314
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = mrCancel
    TabOrder = 3
  end
end
