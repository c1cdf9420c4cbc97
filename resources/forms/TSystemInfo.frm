object SystemInfo: TSystemInfo
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'SystemInfo'
  ClientHeight = 374
  ClientWidth = 433
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object GroupBox1: TGroupBox
    Left = 8
    Top = 8
    Width = 417
    Height = 45
    Caption = 'Parallel ports'
    TabOrder = 0
    object Label1: TLabel
      Left = 12
      Top = 20
      Caption = 'Number of parallel ports:'
    end
    object EParportnum: TEdit
      Left = 150
      Top = 16
      Width = 41
      Height = 21
      ReadOnly = True
      TabOrder = 0
    end
  end
  object GroupBox2: TGroupBox
    Left = 8
    Top = 58
    Width = 417
    Height = 97
    Caption = 'CPU and timers'
    TabOrder = 1
    object Label2: TLabel
      Left = 12
      Top = 20
      Caption = 'CPU speed:'
    end
    object ECPUSpeed: TEdit
      Left = 150
      Top = 16
      Width = 89
      Height = 21
      ReadOnly = True
      TabOrder = 0
    end
    object Label3: TLabel
      Left = 245
      Top = 20
      Caption = 'MHz'
    end
    object QTCheck: TCheckBox
      Left = 12
      Top = 44
      Width = 134
      Height = 17
      Caption = 'Quantum Timer Used'
      TabOrder = 1
    end
    object Label4: TLabel
      Left = 150
      Top = 46
      Caption = 'Max resolution'
    end
    object EQTMinms: TEdit
      Left = 230
      Top = 42
      Width = 89
      Height = 21
      ReadOnly = True
      TabOrder = 2
    end
    object Label5: TLabel
      Left = 325
      Top = 46
      Caption = 'usec'
    end
    object TSCheck: TCheckBox
      Left = 12
      Top = 68
      Width = 134
      Height = 17
      Caption = 'Time Stamp Timer Used'
      TabOrder = 3
    end
    object Label6: TLabel
      Left = 150
      Top = 70
      Caption = 'Max resolution'
    end
    object ETSMinms: TEdit
      Left = 230
      Top = 66
      Width = 89
      Height = 21
      ReadOnly = True
      TabOrder = 4
    end
    object Label7: TLabel
      Left = 325
      Top = 70
      Caption = 'usec'
    end
  end
  object GroupBox3: TGroupBox
    Left = 8
    Top = 160
    Width = 417
    Height = 170
    Caption = 'Parallel Port Checkup'
    TabOrder = 2
    object UsedPort: TLabel
      Left = 12
      Top = 16
      Caption = 'Used Port: $378'
      Font.Style = [fsBold]
      ParentFont = False
    end
    object Label8: TLabel
      Left = 4
      Top = 34
      Caption = 'Port bits: 7 6 5 4 3 2 1 0         Value'
      Font.Name = 'Courier New'
      Font.Height = -13
      ParentFont = False
    end
    object Label9: TLabel
      Left = 12
      Top = 55
      Caption = 'Data Port'
    end
    object Label10: TLabel
      Left = 12
      Top = 77
      Caption = 'Feedback Port'
    end
    object Label11: TLabel
      Left = 12
      Top = 99
      Caption = 'Control Port'
    end
    object B7: TLedButton
      Left = 90
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object B6: TLedButton
      Left = 106
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object B5: TLedButton
      Left = 122
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object B4: TLedButton
      Left = 138
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object B3: TLedButton
      Left = 154
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object B2: TLedButton
      Left = 170
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object B1: TLedButton
      Left = 186
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object B0: TLedButton
      Left = 202
      Top = 54
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clRed
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object F7: TLedButton
      Left = 90
      Top = 76
      Width = 13
      Height = 13
      Caption = ''
      Color = clGray
      TrueColor = clLime
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      Enabled = False
      OnClick = B7Click
    end
    object F6: TLedButton
      Left = 106
      Top = 76
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clLime
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      Enabled = False
      OnClick = B7Click
    end
    object F5: TLedButton
      Left = 122
      Top = 76
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clLime
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      Enabled = False
      OnClick = B7Click
    end
    object F4: TLedButton
      Left = 138
      Top = 76
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clLime
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      Enabled = False
      OnClick = B7Click
    end
    object F3: TLedButton
      Left = 154
      Top = 76
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clLime
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      Enabled = False
      OnClick = B7Click
    end
    object C3: TLedButton
      Left = 154
      Top = 98
      Width = 13
      Height = 13
      Caption = ''
      Color = clGray
      TrueColor = clYellow
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object C2: TLedButton
      Left = 170
      Top = 98
      Width = 13
      Height = 13
      Caption = ''
      Color = clBlue
      TrueColor = clYellow
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object C1: TLedButton
      Left = 186
      Top = 98
      Width = 13
      Height = 13
      Caption = ''
      Color = clGray
      TrueColor = clYellow
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object C0: TLedButton
      Left = 202
      Top = 98
      Width = 13
      Height = 13
      Caption = ''
      Color = clGray
      TrueColor = clYellow
      FalseColor = clBtnText
      FromBorder = 1
      LedRadius = 9
      State = True
      OnClick = B7Click
    end
    object EdtBase: TEdit
      Left = 262
      Top = 50
      Width = 50
      Height = 21
      TabOrder = 0
      OnChange = EdtBaseChange
    end
    object ReadCB: TCheckBox
      Left = 322
      Top = 52
      Width = 60
      Height = 17
      Caption = 'Read'
      TabOrder = 1
      OnClick = ReadCBClick
    end
    object EdtFeedback: TEdit
      Left = 262
      Top = 72
      Width = 50
      Height = 21
      Enabled = False
      ReadOnly = True
      TabOrder = 2
    end
    object EdtControl: TEdit
      Left = 262
      Top = 94
      Width = 50
      Height = 21
      TabOrder = 3
      OnChange = EdtControlChange
    end
    object Label12: TLabel
      Left = 12
      Top = 126
      Caption = 'Blue background: non inverted I/O pin'
    end
    object Label13: TLabel
      Left = 12
      Top = 144
      Caption = 'Gray background: inverted I/O pin'
    end
    object Label14: TLabel
      Left = 230
      Top = 126
      Caption = 'Lit Led: I/O pin is logical ''1'''
    end
    object Label15: TLabel
      Left = 230
      Top = 144
      Caption = 'Off Led: I/O pin is logical ''0'''
    end
  end
  object BitBtn1: TBitBtn
    Left = 176
    Top = 340
    Width = 81
    Height = 25
    Caption = '&Close'
    TabOrder = 3
    OnClick = BitBtn1Click
  end
end
