object AboutBox: TAboutBox
  Left = 250
  Top = 180
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSingle
  Caption = 'About'
  ClientHeight = 121
  ClientWidth = 297
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  object TitleLabel: TLabel
    Left = 8
    Top = 24
    Width = 281
    Height = 24
    Alignment = taCenter
    AutoSize = False
    Caption = 'Raz-Edezadu Divudavizu'
    Font.Color = clRed
    Font.Size = 14
    Font.Style = [fsBold, fsUnderline]
    ParentFont = False
  end
  object OKButton: TBitBtn
    Left = 108
    Top = 80
    Width = 81
    Height = 27
    TabOrder = 0
    Kind = bkOK
  end
end
