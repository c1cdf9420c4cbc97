object CloneForm: TCloneForm
  Left = 240
  Top = 160
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'Cloning Options'
  ClientHeight = 312
  ClientWidth = 372
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  OnCreate = FormCreate
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 356
    Height = 29
    BevelOuter = bvLowered
    Caption = 'Cloning Options - Serial Numbers'
    Font.Style = [fsBold]
    ParentFont = False
    TabOrder = 0
  end
  object Label1: TLabel
    Left = 12
    Top = 44
    Caption = 'During the cloning process, the following '
  end
  object Label2: TLabel
    Left = 12
    Top = 60
    Caption = 'addresses will be filled with a serial number:'
  end
  object FCheck: TCheckBox
    Left = 196
    Top = 84
    Width = 73
    Height = 17
    Caption = 'Flash'
    TabOrder = 1
    OnClick = FCheckClick
  end
  object ECheck: TCheckBox
    Left = 284
    Top = 84
    Width = 73
    Height = 17
    Caption = 'EEprom'
    TabOrder = 2
    OnClick = ECheckClick
  end
  object Label3: TLabel
    Left = 12
    Top = 112
    Caption = 'Starting address (Hex):'
  end
  object EdFStartAdd: TEdit
    Left = 196
    Top = 108
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 3
    Text = '0'
    OnChange = EdFStartAddChange
  end
  object EdEStartAdd: TEdit
    Left = 284
    Top = 108
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 4
    Text = '0'
    OnChange = EdEStartAddChange
  end
  object Label4: TLabel
    Left = 12
    Top = 140
    Caption = 'Number of bytes to fill (Dec):'
  end
  object EdFByte2Fill: TEdit
    Left = 196
    Top = 136
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 5
    Text = '0'
    OnChange = EdFByte2FillChange
  end
  object EdEByte2Fill: TEdit
    Left = 284
    Top = 136
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 6
    Text = '0'
    OnChange = EdEByte2FillChange
  end
  object Label5: TLabel
    Left = 12
    Top = 168
    Caption = 'Starting value (Hex):'
  end
  object EdFStartVal: TEdit
    Left = 196
    Top = 164
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 7
    Text = '0'
    OnChange = EdFStartValChange
  end
  object EdEStartVal: TEdit
    Left = 284
    Top = 164
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 8
    Text = '0'
    OnChange = EdEStartValChange
  end
  object Label6: TLabel
    Left = 12
    Top = 196
    Caption = 'Increment (Dec):'
  end
  object EdFStep: TEdit
    Left = 196
    Top = 192
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 9
    Text = '1'
    OnChange = EdFStepChange
  end
  object EdEStep: TEdit
    Left = 284
    Top = 192
    Width = 73
    Height = 21
    Color = clBtnFace
    Enabled = False
    TabOrder = 10
    Text = '1'
    OnChange = EdEStepChange
  end
  object Label7: TLabel
    Left = 12
    Top = 224
    Caption = 'Max number of clones:'
  end
  object FClones: TEdit
    Left = 196
    Top = 220
    Width = 73
    Height = 21
    ReadOnly = True
    TabStop = False
    TabOrder = 11
    Text = '0'
  end
  object EClones: TEdit
    Left = 284
    Top = 220
    Width = 73
    Height = 21
    ReadOnly = True
    TabStop = False
    TabOrder = 12
    Text = '0'
  end
  object CBFMsb: TCheckBox
    Left = 196
    Top = 248
    Width = 81
    Height = 17
    Caption = 'MSB first'
    Checked = True
    Enabled = False
    State = cbChecked
    TabOrder = 13
    OnClick = CBFMsbClick
  end
  object CBEMsb: TCheckBox
    Left = 284
    Top = 248
    Width = 81
    Height = 17
    Caption = 'MSB first'
    Checked = True
    Enabled = False
    State = cbChecked
    TabOrder = 14
    OnClick = CBEMsbClick
  end
  object BitBtn1: TBitBtn
    Left = 104
    Top = 276
    Width = 75
    Height = 25
    TabOrder = 15
    Kind = bkOK
    OnClick = BitBtn1Click
  end
  object BitBtn2: TBitBtn
    Left = 192
    Top = 276
    Width = 75
    Height = 25
    TabOrder = 16
    Kind = bkCancel
    OnClick = BitBtn2Click
  end
end
