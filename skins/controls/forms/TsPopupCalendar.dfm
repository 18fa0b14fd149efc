object sPopupCalendar: TsPopupCalendar
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientHeight = 132
  ClientWidth = 189
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  KeyPreview = True
  Scaled = False
  Tag = -98
  OnClose = FormClose
  OnDeactivate = FormDeactivate
  OnKeyDown = FormKeyDown
  OnShow = FormShow
  object sMonthCalendar1: TsMonthCalendar
    Left = 0
    Top = 0
    Width = 189
    Height = 132
    Align = alClient
    BevelWidth = 1
    BorderWidth = 3
    Caption = ' '
    TabOrder = 0
    SkinData.SkinSection = 'PANEL'
  end
end
