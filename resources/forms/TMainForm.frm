object MainForm: TMainForm
  Left = 192
  Top = 114
  Width = 687
  Height = 440
  Caption = 'ZELTO Raz-Edezadu Divudavizu using no library'
  Color = clBtnFace
  Constraints.MinWidth = 540
  KeyPreview = True
  Menu = MainMenu1
  Position = poScreenCenter
  ShowHint = True
  OnClose = FormClose
  OnCreate = FormCreate
  OnKeyDown = FormKeyDown
  OnResize = FormResize
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 679
    Height = 386
    Align = alClient
    BevelOuter = bvNone
    TabOrder = 0
    object Dock1: TDock
      Left = 0
      Top = 0
      Width = 679
      Height = 56
      BoundLines = [blTop]
      object FileBar: TToolbar
        Caption = 'File Operations'
        CloseButton = False
        DockRow = 0
        DockPos = 0
        object BtOpenFlash: TToolbarButton
          Left = 0
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Read Hex File to Flash buffer [F2]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_OPENFLASH'
          OnClick = Action_OpenFlashExecute
        end
        object BtOpenEEprom: TToolbarButton
          Left = 23
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Read Hex File to EEprom buffer [F3]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_OPENEEPROM'
          OnClick = Action_OpenPromExecute
        end
        object Sep1: TToolbarSep
          Left = 46
          Top = 0
        end
        object BtSaveFlash: TToolbarButton
          Left = 52
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Save Flash buffer to Hex File [CTRL-F2]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_SAVEFLASH'
          OnClick = Action_SaveFlashExecute
        end
        object BtSaveEEprom: TToolbarButton
          Left = 75
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Save EEprom buffer to Hex File [CTRL-F3]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_SAVEEEPROM'
          OnClick = Action_SavePromExecute
        end
        object Sep2: TToolbarSep
          Left = 98
          Top = 0
        end
        object BtExitApp: TToolbarButton
          Left = 104
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Exit [CTRL-X]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_EXITAPP'
          OnClick = Action_ExitExecute
        end
      end
      object MiscBar: TToolbar
        Caption = 'Misc Operations'
        CloseButton = False
        DockRow = 0
        DockPos = 140
        object BtChipId: TToolbarButton
          Left = 0
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Chip ID [CTRL-I]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_CHIPID'
          OnClick = Action_GetChipIdExecute
        end
        object BtEraseChip: TToolbarButton
          Left = 23
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Erase Flash and EEPROM memory [CTRL-E]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_ERASECHIP'
          OnClick = Action_EraseChipExecute
        end
        object Sep3: TToolbarSep
          Left = 46
          Top = 0
        end
        object BtSpecialBits1: TToolbarButton
          Left = 52
          Top = 0
          Width = 23
          Height = 22
          Caption = 'SB1'
          Hint = 'Program SpecialBits1'
          ParentShowHint = False
          ShowHint = True
          OnClick = ProgramSpecialBits
        end
        object BtSpecialBits2: TToolbarButton
          Left = 75
          Top = 0
          Width = 23
          Height = 22
          Caption = 'SB2'
          Hint = 'Program SpecialBits2'
          ParentShowHint = False
          ShowHint = True
          OnClick = ProgramSpecialBits
        end
        object BtSpecialBits3: TToolbarButton
          Left = 98
          Top = 0
          Width = 23
          Height = 22
          Caption = 'SB3'
          Hint = 'Program SpecialBits3'
          ParentShowHint = False
          ShowHint = True
          OnClick = ProgramSpecialBits
        end
        object Sep4: TToolbarSep
          Left = 121
          Top = 0
        end
        object BtClone: TToolbarButton
          Left = 127
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Clone'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_CLONE'
          OnClick = Action_CloneExecute
        end
        object Sep5: TToolbarSep
          Left = 150
          Top = 0
        end
        object BtFill: TToolbarButton
          Left = 156
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Fill Flash and EEprom'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_FILL'
          OnClick = Action_FillBufferExecute
        end
      end
      object FLEPBar: TToolbar
        Caption = 'Flash and EEprom Operations '
        CloseButton = False
        DockRow = 1
        DockPos = 0
        object BtReadFlash: TToolbarButton
          Left = 0
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Read Flash from device to Flash Buffer [F4]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_READFLASH'
          OnClick = Action_ReadFlashExecute
        end
        object BtReadEEprom: TToolbarButton
          Left = 23
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Read EEPROM from device to EEPROM Buffer [F5]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_READEEPROM'
          OnClick = Action_ReadPromExecute
        end
        object BtReadAll: TToolbarButton
          Left = 46
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Read Flash and EEPROM from device to Buffers [F9]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_READALL'
          OnClick = Action_ReadAllExecute
        end
        object Sep6: TToolbarSep
          Left = 69
          Top = 0
        end
        object BtWriteFlash: TToolbarButton
          Left = 75
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Write Flash buffer to device  [CTRL-F4]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_WRITEFLASH'
          OnClick = Action_WriteFlashExecute
        end
        object BtWriteEEprom: TToolbarButton
          Left = 98
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Write EEPROM buffer to device  [CTRL-F5]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_WRITEEEPROM'
          OnClick = Action_WritePromExecute
        end
        object BtWriteAll: TToolbarButton
          Left = 121
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Write Flash and EEPROM buffers to device  [CTRL-F9]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_WRITEALL'
          OnClick = Action_WriteAllExecute
        end
        object Sep7: TToolbarSep
          Left = 144
          Top = 0
        end
        object BtVerFlash: TToolbarButton
          Left = 150
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Verify Flash [F6]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_VERFLASH'
          OnClick = Action_VerifyFlashExecute
        end
        object BtVerEEprom: TToolbarButton
          Left = 173
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Verify EEprom [F7]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_VEREEPROM'
          OnClick = Action_VerifyPromExecute
        end
        object BtVerAll: TToolbarButton
          Left = 196
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Verify All [F8]'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_VERALL'
          OnClick = Action_VerifyAllExecute
        end
      end
      object ViewBar: TToolbar
        Caption = 'View Operations'
        CloseButton = False
        DockRow = 1
        DockPos = 232
        object BtHex: TToolbarButton
          Left = 0
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Display in Hex mode'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_HEX'
          OnClick = Action_HexExecute
        end
        object BtDec: TToolbarButton
          Left = 23
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Display in Decimal mode'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_DEC'
          OnClick = Action_DecExecute
        end
        object BtAsc: TToolbarButton
          Left = 46
          Top = 0
          Width = 23
          Height = 22
          Hint = 'Display in ASCII mode'
          ParentShowHint = False
          ShowHint = True
          GlyphResource = 'GLYPH_ASC'
          OnClick = Action_AsciiExecute
        end
      end
    end
    object Panel2: TPanel
      Left = 0
      Top = 56
      Width = 340
      Height = 280
      Align = alLeft
      BevelOuter = bvNone
      TabOrder = 1
      object SG1: TStringGrid
        Left = 0
        Top = 0
        Width = 10
        Height = 10
        Hint = 'Flash Area'
        Align = alClient
        Color = clBtnFace
        ColCount = 17
        DefaultColWidth = 16
        DefaultRowHeight = 16
        FixedCols = 1
        RowCount = 2
        FixedRows = 1
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'Arial Narrow'
        Font.Style = []
        Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goTabs, goAlwaysShowEditor, goThumbTracking]
        ParentFont = False
        ParentShowHint = False
        ShowHint = True
        TabOrder = 0
        ColWidths = (
          28 17 17 17 17 17 17 17 17 17 17 17 17 17 17 17 16)
        OnGetEditText = SG1GetEditText
        OnSelectCell = SG1SelectCell
        OnSetEditText = SG1SetEditText
      end
    end
    object Splitter1: TSplitter
      Left = 340
      Top = 56
      Width = 3
      Height = 280
      Align = alLeft
    end
    object Panel3: TPanel
      Left = 343
      Top = 56
      Width = 336
      Height = 280
      Align = alClient
      BevelOuter = bvNone
      TabOrder = 2
      object SG2: TStringGrid
        Left = 0
        Top = 0
        Width = 10
        Height = 10
        Hint = 'EEprom Area'
        Align = alClient
        Color = clBtnFace
        ColCount = 17
        DefaultColWidth = 16
        DefaultRowHeight = 16
        FixedCols = 1
        RowCount = 2
        FixedRows = 1
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'Arial Narrow'
        Font.Style = []
        Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goTabs, goAlwaysShowEditor, goThumbTracking]
        ParentFont = False
        ParentShowHint = False
        ShowHint = True
        TabOrder = 0
        ColWidths = (
          32 16 16 16 16 16 16 16 16 16 16 16 16 16 16 16 16)
        OnGetEditText = SG2GetEditText
        OnSelectCell = SG2SelectCell
        OnSetEditText = SG2SetEditText
      end
    end
    object Dock4: TDock
      Left = 0
      Top = 358
      Width = 679
      Height = 9
      Position = dpBottom
    end
    object SBar: TStatusBar
      Left = 0
      Top = 367
      Width = 679
      Height = 19
      Align = alBottom
      Panels = <
        item
          Text = 'No Device.'
          Width = 75
        end
        item
          Width = 410
        end
        item
          Width = 50
        end
      >
    end
    object PBar: TProgressBar
      Left = 448
      Top = 371
      Width = 33
      Height = 13
      Min = 0
      Max = 100
      Smooth = True
      TabOrder = 5
    end
  end
  object Actions: TActionList
    Images = Images
    object Action_OpenFlash: TAction
      Caption = 'Read Hex File to &Flash buffer'
      OnExecute = Action_OpenFlashExecute
    end
    object Action_OpenProm: TAction
      Caption = 'Read Hex File to &EEprom buffer'
      OnExecute = Action_OpenPromExecute
    end
    object Action_SaveFlash: TAction
      Caption = 'Save Fl&ash buffer to Hex File '
      OnExecute = Action_SaveFlashExecute
    end
    object Action_SaveProm: TAction
      Caption = 'Save EEprom &buffer to Hex File '
      OnExecute = Action_SavePromExecute
    end
    object Action_Exit: TAction
      Caption = 'E&xit'
      OnExecute = Action_ExitExecute
    end
    object Action_GetChipId: TAction
      Caption = 'Get Chip Id'
      OnExecute = Action_GetChipIdExecute
    end
    object Action_EraseChip: TAction
      Caption = 'Erase Chip'
      OnExecute = Action_EraseChipExecute
    end
    object Action_ReadFlash: TAction
      Caption = 'Read Flash to &Flash buffer'
      OnExecute = Action_ReadFlashExecute
    end
    object Action_ReadProm: TAction
      Caption = 'Read EE&prom to EEprom buffer'
      OnExecute = Action_ReadPromExecute
    end
    object Action_ReadAll: TAction
      Caption = 'Read Fla&sh and EEprom to buffers'
      OnExecute = Action_ReadAllExecute
    end
    object Action_WriteFlash: TAction
      Caption = '&Write Flash buffer to device'
      OnExecute = Action_WriteFlashExecute
    end
    object Action_WriteProm: TAction
      Caption = 'W&rite EEprom buffer to device'
      OnExecute = Action_WritePromExecute
    end
    object Action_WriteAll: TAction
      Caption = 'Write Flas&h and EEprom buffers to device'
      OnExecute = Action_WriteAllExecute
    end
    object Action_VerifyFlash: TAction
      Caption = '&Verify Flash'
      OnExecute = Action_VerifyFlashExecute
    end
    object Action_VerifyProm: TAction
      Caption = 'Verif&y EEprom'
      OnExecute = Action_VerifyPromExecute
    end
    object Action_VerifyAll: TAction
      Caption = 'Verify &All'
      OnExecute = Action_VerifyAllExecute
    end
    object Action_Clone: TAction
      Caption = 'Clone Device'
      OnExecute = Action_CloneExecute
    end
    object Action_FillBuffer: TAction
      Caption = 'Fill &Buffer'
      OnExecute = Action_FillBufferExecute
    end
    object Action_Hex: TAction
      Caption = '&Hex'
      OnExecute = Action_HexExecute
    end
    object Action_Dec: TAction
      Caption = '&Decimal'
      OnExecute = Action_DecExecute
    end
    object Action_Ascii: TAction
      Caption = '&ASCII'
      OnExecute = Action_AsciiExecute
    end
    object Action_LoadPlugin: TAction
      Caption = '&Use Plug-In'
      OnExecute = Action_LoadPluginExecute
    end
    object Action_ProgramSpecBits1: TAction
      Caption = 'Program Special Bits 1'
    end
  end
  object Images: TImageList
  end
  object OpenDlg: TOpenDialog
    Filter = 'Intel HEX files (*.HEX)|*.HEX|EEP files (*.EEP)|*.EEP|All files (*.*)|*.*'
    Options = [ofHideReadOnly, ofNoChangeDir, ofFileMustExist, ofEnableSizing]
  end
  object SaveDlg: TSaveDialog
    DefaultExt = 'HEX'
    Filter = 'Intel HEX files (*.HEX)|*.hex|EEP files (*.EEP)|*.eep|All files (*.*)|*.*'
    Options = [ofOverwritePrompt, ofPathMustExist, ofEnableSizing]
  end
  object Launcher: TProgramLauncher
    ExeName = 'iexplore.exe'
    ChangeDir = False
    Wait = False
    WindowState = wsMaximized
  end
  object MainMenu1: TMainMenu
    object MnuFile: TMenuItem
      Caption = '&File'
      object MnuOpenFlash: TMenuItem
        Caption = 'Read Hex File to &Flash buffer'
        ShortCut = 'F2'
        OnClick = Action_OpenFlashExecute
      end
      object MnuOpenEEprom: TMenuItem
        Caption = 'Read Hex File to &EEprom buffer'
        ShortCut = 'F3'
        OnClick = Action_OpenPromExecute
      end
      object MnuSaveFlash: TMenuItem
        Caption = 'Save Fl&ash buffer to Hex File '
        ShortCut = 'Ctrl+F2'
        OnClick = Action_SaveFlashExecute
      end
      object MnuSaveEEprom: TMenuItem
        Caption = 'Save EEprom &buffer to Hex File '
        ShortCut = 'Ctrl+F3'
        OnClick = Action_SavePromExecute
      end
      object MnuExitApp: TMenuItem
        Caption = 'E&xit'
        ShortCut = 'Ctrl+X'
        OnClick = Action_ExitExecute
      end
    end
    object MnuDevice: TMenuItem
      Caption = '&Device'
      object MnuGetChipId: TMenuItem
        Caption = 'Get Chip Id'
        ShortCut = 'Ctrl+I'
        OnClick = Action_GetChipIdExecute
      end
      object MnuEraseChip: TMenuItem
        Caption = 'Erase Chip'
        ShortCut = 'Ctrl+E'
        OnClick = Action_EraseChipExecute
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object MnuReadOperations: TMenuItem
        Caption = 'Read Operations'
        object MnuReadFlash: TMenuItem
          Caption = 'Read Flash to &Flash buffer'
          ShortCut = 'F4'
          OnClick = Action_ReadFlashExecute
        end
        object MnuReadEEprom: TMenuItem
          Caption = 'Read EE&prom to EEprom buffer'
          ShortCut = 'F5'
          OnClick = Action_ReadPromExecute
        end
        object MnuReadAll: TMenuItem
          Caption = 'Read Fla&sh and EEprom to buffers'
          ShortCut = 'F9'
          OnClick = Action_ReadAllExecute
        end
      end
      object MnuWriteOperations: TMenuItem
        Caption = 'Write Operations'
        object MnuWriteFlash: TMenuItem
          Caption = '&Write Flash buffer to device'
          ShortCut = 'Ctrl+F4'
          OnClick = Action_WriteFlashExecute
        end
        object MnuWriteEEprom: TMenuItem
          Caption = 'W&rite EEprom buffer to device'
          ShortCut = 'Ctrl+F5'
          OnClick = Action_WritePromExecute
        end
        object MnuWriteAll: TMenuItem
          Caption = 'Write Flas&h and EEprom buffers to device'
          ShortCut = 'Ctrl+F9'
          OnClick = Action_WriteAllExecute
        end
      end
      object MnuVerifyOperations: TMenuItem
        Caption = 'Verification Operations'
        object MnuVerifyFlash: TMenuItem
          Caption = '&Verify Flash'
          ShortCut = 'F6'
          OnClick = Action_VerifyFlashExecute
        end
        object MnuVerifyEEprom: TMenuItem
          Caption = 'Verif&y EEprom'
          ShortCut = 'F7'
          OnClick = Action_VerifyPromExecute
        end
        object MnuVerifyAll: TMenuItem
          Caption = 'Verify &All'
          ShortCut = 'F8'
          OnClick = Action_VerifyAllExecute
        end
      end
      object MnuMiscellaneous: TMenuItem
        Caption = 'Miscellaneous Operations'
        object MnuSpecialBits1: TMenuItem
          Caption = 'Program Special Bits 1'
          OnClick = ProgramSpecialBits
        end
        object MnuSpecialBits2: TMenuItem
          Caption = 'Program Special Bits 2'
          OnClick = ProgramSpecialBits
        end
        object MnuSpecialBits3: TMenuItem
          Caption = 'Program Special Bits 3'
          OnClick = ProgramSpecialBits
        end
        object N2: TMenuItem
          Caption = '-'
        end
        object MnuClone: TMenuItem
          Caption = 'Clone Device'
          OnClick = Action_CloneExecute
        end
        object N3: TMenuItem
          Caption = '-'
        end
        object MnuFillBuffer: TMenuItem
          Caption = 'Fill &Buffer'
          OnClick = Action_FillBufferExecute
        end
      end
    end
    object MnuView: TMenuItem
      Caption = '&View'
      object MnuHex: TMenuItem
        Caption = '&Hex'
        Checked = True
        ShortCut = 'Ctrl+H'
        OnClick = Action_HexExecute
      end
      object MnuDecimal: TMenuItem
        Caption = '&Decimal'
        ShortCut = 'Ctrl+D'
        OnClick = Action_DecExecute
      end
      object MnuAscii: TMenuItem
        Caption = '&ASCII'
        ShortCut = 'Ctrl+A'
        OnClick = Action_AsciiExecute
      end
    end
    object MnuToolbars: TMenuItem
      Caption = '&Toolbars'
      object MnuFileOperations: TMenuItem
        Caption = '&File Operations'
        Checked = True
        OnClick = MnuFileOperationsClick
      end
      object MnuMiscOperations: TMenuItem
        Caption = '&Miscellaneous Operations'
        Checked = True
        OnClick = MnuMiscOperationsClick
      end
      object MnuFLEPOperations: TMenuItem
        Caption = 'Flash and &EEPROM Operations'
        Checked = True
        OnClick = MnuFLEPOperationsClick
      end
      object MnuViewOperations: TMenuItem
        Caption = '&View Operations'
        Checked = True
        OnClick = MnuViewOperationsClick
      end
    end
    object MnuOptions: TMenuItem
      Caption = 'Options'
      object MnuChipErase: TMenuItem
        Caption = '&Chip Erase before programming'
        OnClick = MnuChipEraseClick
      end
      object MnuEditDirectly: TMenuItem
        Caption = 'Edit &values directly'
        OnClick = MnuEditDirectlyClick
      end
      object MnuCloningOptions: TMenuItem
        Caption = 'Cloning Options'
        OnClick = MnuCloningOptionsClick
      end
      object MnuRelease: TMenuItem
        Caption = 'Release Port Lines after an Operation'
        OnClick = MnuReleaseClick
      end
    end
    object MnuPorts: TMenuItem
      Caption = '&Ports'
      object LPT11: TMenuItem
        Caption = '278H'
        OnClick = LPT11Click
      end
      object LPT21: TMenuItem
        Caption = '378H'
        OnClick = LPT21Click
      end
      object LPT31: TMenuItem
        Caption = '3BCH'
        OnClick = LPT31Click
      end
    end
    object MnuPlugIns: TMenuItem
      Caption = 'Plug-&Ins'
      object MnuUsePlugIn: TMenuItem
        Caption = '&Use Plug-In'
        OnClick = Action_LoadPluginExecute
      end
    end
    object MnuLanguage: TMenuItem
      Caption = '&Language'
      object LanguageEnglish: TMenuItem
        Caption = '&English'
        OnClick = SwitchLanguage
      end
      object LanguageFrench: TMenuItem
        Caption = '&French'
        OnClick = SwitchLanguage
      end
      object LanguageItalian: TMenuItem
        Caption = '&Italian'
        OnClick = SwitchLanguage
      end
      object LanguageGerman: TMenuItem
        Caption = '&German'
        Enabled = False
        OnClick = SwitchLanguage
      end
      object LanguageRomanian: TMenuItem
        Caption = '&Romanian'
        OnClick = SwitchLanguage
      end
    end
    object MnuHelp: TMenuItem
      Caption = '&Help'
      object MnuAbout: TMenuItem
        Caption = '&About'
        OnClick = MnuAboutClick
      end
      object OnlineHTMLhelp1: TMenuItem
        Caption = 'Online HTML help'
        ShortCut = 'F1'
        OnClick = OnlineHTMLhelp1Click
      end
      object MnuSystemInfo: TMenuItem
        Caption = 'System Info'
        OnClick = MnuSystemInfoClick
      end
      object MnuAlltheinfoUneed: TMenuItem
        Caption = 'Help on the current plugin'
        OnClick = MnuAlltheinfoUneedClick
      end
    end
  end
end
