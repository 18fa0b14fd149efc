object frmMyDialog: TfrmMyDialog
  Left = 0
  Top = 0
  Width = 450
  Height = 260
  Caption = #1080#1090#1086#1075
  Color = clBtnFace
  Constraints.MinHeight = 100
  Constraints.MinWidth = 200
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Verdana'
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  OnClose = FormClose
  OnResize = FormResize
  OnShow = FormShow
  object reMyDialog: TsRichEdit
    Left = 0
    Top = 0
    Width = 442
    Height = 186
    Align = alClient
    Color = clWhite
    ScrollBars = ssVertical
    TabOrder = 0
  end
  object pnlButtons: TsPanel
    Left = 0
    Top = 186
    Width = 442
    Height = 40
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 1
    object bbRestore: TBitBtn
      Left = 350
      Top = 8
      Width = 84
      Height = 25
      Anchors = [akTop, akRight]
      Caption = 'Ok'
      TabOrder = 0
      OnClick = bbRestoreClick
    end
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
      737443617074696F6E730D0A5466726D4D794469616C6F6701E8F2EEE3016D65
      7373616765010D0A6262526573746F7265014F6B014F6B010D0A737448696E74
      730D0A7374446973706C61794C6162656C730D0A7374466F6E74730D0A546672
      6D4D794469616C6F670156657264616E610156657264616E61010D0A73744D75
      6C74694C696E65730D0A7374446C677343617074696F6E730D0A737453747269
      6E67730D0A73744F74686572537472696E67730D0A73744C6F63616C65730D0A
      7374436F6C6C656374696F6E730D0A737443686172536574730D0A5466726D4D
      794469616C6F67015255535349414E5F434841525345540144454641554C545F
      43484152534554010D0A73744C697374566965775F54726565566965775F4974
      656D730D0A}
  end
end
