object MainForm: TMainForm
  Left = 200
  Top = 100
  BorderIcons = [biSystemMenu, biMinimize]
  BorderStyle = bsDialog
  Caption = 'Zelto Raz-edezadu Divudavizu Installation'
  ClientHeight = 489
  ClientWidth = 492
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  ShowHint = True
  OnCreate = FormCreate
  object Panel2: TPanel
    Left = 0
    Top = 0
    Width = 492
    Height = 30
    Align = alTop
    Caption = 'Zelto Raz-Edezadu Divudavizu'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clBlue
    Font.Height = -16
    Font.Name = 'Tahoma'
    Font.Style = [fsBold]
    ParentFont = False
    TabOrder = 0
  end
  object Panel3: TPanel
    Left = 0
    Top = 30
    Width = 492
    Height = 28
    Align = alTop
    Caption = 'Version 2.2.2 build 2'
    TabOrder = 1
    object Button1: TButton
      Left = 402
      Top = 3
      Width = 82
      Height = 22
      Hint = 'Read this disclaimer - legal stuff'
      Caption = 'Disclaimer'
      TabOrder = 0
      OnClick = Button1Click
    end
  end
  object RadioGroup1: TRadioGroup
    Left = 6
    Top = 62
    Width = 480
    Height = 192
    Caption = 'Features to install'
    TabOrder = 2
    object GroupBox1: TGroupBox
      Left = 8
      Top = 16
      Width = 228
      Height = 42
      Caption = 'Main Features'
      Hint = 'Main Files'
      TabOrder = 0
      object ProgrammerInterface: TCheckBox
        Left = 10
        Top = 18
        Width = 200
        Height = 17
        Caption = 'Programmer interface'
        Checked = True
        State = cbChecked
        TabOrder = 0
      end
    end
    object GroupBox6: TGroupBox
      Left = 8
      Top = 60
      Width = 228
      Height = 62
      Caption = 'Foreign language translations'
      Hint = 'Foreign language translations for the programming interface and all selected plugins'
      TabOrder = 1
      object FrenchModules: TCheckBox
        Left = 10
        Top = 18
        Width = 100
        Height = 17
        Caption = 'French'
        Checked = True
        State = cbChecked
        TabOrder = 0
      end
      object RomanianModules: TCheckBox
        Left = 10
        Top = 38
        Width = 100
        Height = 17
        Caption = 'Romanian'
        Checked = True
        State = cbChecked
        TabOrder = 1
      end
      object ItalianModules: TCheckBox
        Left = 116
        Top = 18
        Width = 100
        Height = 17
        Caption = 'Italian'
        Checked = True
        State = cbChecked
        TabOrder = 2
      end
      object German: TCheckBox
        Left = 116
        Top = 38
        Width = 100
        Height = 17
        Caption = 'German'
        Enabled = False
        TabOrder = 3
      end
    end
    object GroupBox3: TGroupBox
      Left = 8
      Top = 124
      Width = 228
      Height = 60
      Caption = 'Documentation'
      Hint = 'Documentation files'
      TabOrder = 2
      object OnlineWinHelp: TCheckBox
        Left = 10
        Top = 24
        Width = 200
        Height = 17
        Caption = 'Online Windows CHM Help '
        Checked = True
        State = cbChecked
        TabOrder = 0
      end
    end
    object GroupBox2: TGroupBox
      Left = 244
      Top = 16
      Width = 228
      Height = 124
      Caption = 'Plugins (* = with sources)'
      Hint = 'Plug-ins and all associated files'
      TabOrder = 3
      object ZeltoAVRLoVSer: TCheckBox
        Left = 10
        Top = 15
        Width = 212
        Height = 17
        Caption = 'Atmel AVR Low-Voltage Serial plug-in *'
        Checked = True
        State = cbChecked
        OnClick = CheckSchematics
        TabOrder = 0
      end
      object ZeltoAVRHiVSer: TCheckBox
        Left = 10
        Top = 33
        Width = 212
        Height = 17
        Caption = 'Atmel AVR Hi-Voltage Serial plug-in'
        Checked = True
        State = cbChecked
        OnClick = CheckSchematics
        TabOrder = 1
      end
      object ZeltoAVRPar: TCheckBox
        Left = 10
        Top = 51
        Width = 212
        Height = 17
        Caption = 'Atmel AVR Hi-Voltage Parallel plug-in'
        Checked = True
        State = cbChecked
        OnClick = CheckSchematics
        TabOrder = 2
      end
      object ZeltoI2CEEP: TCheckBox
        Left = 10
        Top = 69
        Width = 212
        Height = 17
        Caption = 'I2C EEproms plug-in'
        Checked = True
        State = cbChecked
        OnClick = CheckSchematics
        TabOrder = 3
      end
      object ZeltoMicrowire: TCheckBox
        Left = 10
        Top = 87
        Width = 212
        Height = 17
        Caption = 'Microwire EEproms plug-in'
        Checked = True
        State = cbChecked
        OnClick = CheckSchematics
        TabOrder = 4
      end
      object DemoPlugin: TCheckBox
        Left = 10
        Top = 105
        Width = 212
        Height = 17
        Caption = 'Demo Plugin (simulation only)'
        TabOrder = 5
      end
    end
    object GroupBox5: TGroupBox
      Left = 244
      Top = 142
      Width = 228
      Height = 42
      Caption = 'Schematics'
      TabOrder = 4
      object Schematics: TCheckBox
        Left = 10
        Top = 18
        Width = 212
        Height = 17
        Caption = 'Eagle Schematics (for selected plugins)'
        Checked = True
        State = cbChecked
        Hint = 'Schematics, PCB in Eagle format for all selected plugins'
        TabOrder = 0
      end
    end
  end
  object GroupBox4: TGroupBox
    Left = 6
    Top = 256
    Width = 480
    Height = 70
    Caption = 'Where to install'
    TabOrder = 3
    object Label1: TLabel
      Left = 10
      Top = 20
      Caption = 'Installation Path:'
    end
    object InstallationDirectory: TEdit
      Left = 110
      Top = 16
      Width = 272
      Height = 21
      Hint = 'Input here directly the desired directory'
      TabOrder = 0
      Text = 'C:\Program Files\Zelto\Raz-Edezadu Divudavizu'
    end
    object SpeedButton3: TButton
      Left = 390
      Top = 15
      Width = 80
      Height = 23
      Hint = 'Click here to choose an installation directory'
      Caption = 'Browse...'
      TabOrder = 1
      OnClick = SpeedButton3Click
    end
    object Label2: TLabel
      Left = 10
      Top = 46
      Caption = 'Start Menu Group:'
    end
    object StartMenuGroup: TEdit
      Left = 110
      Top = 42
      Width = 272
      Height = 21
      Hint = 'The name of the group you want to have in the Start menu'
      TabOrder = 2
      Text = 'Zelto'
    end
  end
  object Messages: TRichEdit
    Left = 6
    Top = 330
    Width = 480
    Height = 98
    Hint = 'Installation results: green=OK; yellow=Warning; red=Error'
    Color = clBlack
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clLime
    Font.Height = -11
    Font.Name = 'Courier New'
    Font.Style = []
    Lines.Strings = (
      'Installation results:')
    ParentFont = False
    ReadOnly = True
    ScrollBars = ssBoth
    TabOrder = 4
    WordWrap = False
  end
  object UninstallLabel: TLabel
    Left = 8
    Top = 432
    Caption = 'A previous installation has been found under:'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
    Visible = False
  end
  object UninstallLabel1: TLabel
    Left = 8
    Top = 446
    Caption = 'UninstallLabel1'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
    Visible = False
  end
  object UninstallButton: TButton
    Left = 8
    Top = 462
    Width = 130
    Height = 24
    Caption = 'Uninstall it now!'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
    TabOrder = 5
    Visible = False
    OnClick = UninstallButtonClick
  end
  object InstallBt: TButton
    Left = 322
    Top = 462
    Width = 80
    Height = 24
    Caption = 'Install!'
    TabOrder = 6
    OnClick = InstallBtClick
  end
  object CancelBt: TButton
    Left = 406
    Top = 462
    Width = 80
    Height = 24
    Caption = 'Exit'
    TabOrder = 7
    OnClick = CancelBtClick
  end
  object BFF1: TBrowseForFolder
    StatusText = 'Select a folder'
    FolderName = 'C:\'
    Flags = [bf_statustext]
    Root = bl_DESKTOP
    Caption = 'Select the installation folder'
  end
  object Associate: TAssociate
    ShellCmd = 'Open'
  end
end
