object frmPassword: TfrmPassword
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  Caption = #1055#1072#1088#1086#1083#1100
  ClientHeight = 100
  ClientWidth = 280
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Verdana'
  Position = poScreenCenter
  OnClose = FormClose
  OnShow = FormShow
  object lblPassword: TsLabel
    Left = 12
    Top = 12
    Width = 256
    Height = 16
    AutoSize = False
    Caption = #1042#1074#1077#1076#1080#1090#1077' '#1087#1072#1088#1086#1083#1100':'
  end
  object edPassword: TsEdit
    Left = 12
    Top = 32
    Width = 256
    Height = 21
    PasswordChar = '*'
    TabOrder = 0
  end
  object btnOk: TButton
    Left = 64
    Top = 66
    Width = 98
    Height = 25
    Caption = #1055#1088#1080#1084#1077#1085#1080#1090#1100
    Default = True
    TabOrder = 1
    OnClick = btnOkClick
  end
  object btnClose: TButton
    Left = 170
    Top = 66
    Width = 98
    Height = 25
    Cancel = True
    Caption = #1054#1090#1084#1077#1085#1072
    TabOrder = 2
    OnClick = btnCloseClick
  end
  object siLang1: TsiLang
    Version = '6.4'
    StringsTypes.Strings = (
      'TIB_STRINGLIST'
      'TSTRINGLIST')
    NumOfLanguages = 2
    LangDispatcher = frmSetting.siLangDispatcher
    LangDelim = 1
    LangNames.Strings = (
      'Rus'
      'Eng')
    Language = 'Rus'
    TranslationData = {
      737443617074696F6E730D0A5466726D50617373776F726401CFE0F0EEEBFC01
      50617373776F7264010D0A6C626C50617373776F726401C2E2E5E4E8F2E520EF
      E0F0EEEBFC3A01496E7075742070617373776F72643A010D0A62746E4F6B01CF
      F0E8ECE5EDE8F2FC014170706C79010D0A62746E436C6F736501CEF2ECE5EDE0
      0143616E63656C010D0A737448696E74730D0A7374446973706C61794C616265
      6C730D0A7374466F6E74730D0A5466726D50617373776F72640156657264616E
      610156657264616E61010D0A73744D756C74694C696E65730D0A7374446C6773
      43617074696F6E730D0A7374537472696E67730D0A73744F7468657253747269
      6E67730D0A73744C6F63616C65730D0A7374436F6C6C656374696F6E730D0A73
      7443686172536574730D0A5466726D50617373776F7264015255535349414E5F
      434841525345540144454641554C545F43484152534554010D0A73744C697374
      566965775F54726565566965775F4974656D730D0A}
  end
end
