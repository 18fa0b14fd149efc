object frmOpenFolder: TfrmOpenFolder
  Left = 0
  Top = 0
  Width = 360
  Height = 440
  Caption = #1055#1088#1086#1074#1086#1076#1085#1080#1082
  Color = clBtnFace
  Constraints.MinHeight = 150
  Constraints.MinWidth = 250
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Verdana'
  Position = poDesktopCenter
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  object ShellTreeView: TsShellTreeView
    Left = 0
    Top = 0
    Width = 352
    Height = 365
    Align = alClient
    ObjectTypes = [otFolders, otNonFolders]
    Root = 'rfDesktop'
    UseShellImages = True
    AutoRefresh = False
    TabOrder = 0
    OnDblClick = bbOpenClick
    OnAddFolder = ShellTreeViewAddFolder
  end
  object pnlButtons: TPanel
    Left = 0
    Top = 365
    Width = 352
    Height = 41
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 1
    object bbOpen: TBitBtn
      Left = 92
      Top = 8
      Width = 120
      Height = 25
      Caption = #1054#1090#1082#1088#1099#1090#1100
      Default = True
      TabOrder = 0
      OnClick = bbOpenClick
    end
    object bbClose: TBitBtn
      Left = 218
      Top = 8
      Width = 120
      Height = 25
      Cancel = True
      Caption = #1042#1099#1093#1086#1076
      TabOrder = 1
      OnClick = bbCloseClick
    end
  end
  object siLang1: TsiLang
    Version = '6.4'
    StringsTypes.Strings = (
      'TIB_STRINGLIST'
      'TSTRINGLIST')
    NumOfLanguages = 2
    OnChangeLanguage = siLang1ChangeLanguage
    LangDispatcher = frmSetting.siLangDispatcher
    LangDelim = 1
    LangNames.Strings = (
      'Rus'
      'Eng')
    Language = 'Rus'
    TranslationData = {
      737443617074696F6E730D0A5466726D4F70656E466F6C64657201CFF0EEE2EE
      E4EDE8EA014578706C6F726572010D0A62624F70656E01CEF2EAF0FBF2FC014F
      70656E010D0A6262436C6F736501C2FBF5EEE40145786974010D0A737448696E
      74730D0A7374446973706C61794C6162656C730D0A7374466F6E74730D0A5466
      726D4F70656E466F6C6465720156657264616E610156657264616E61010D0A73
      744D756C74694C696E65730D0A7374446C677343617074696F6E730D0A737453
      7472696E67730D0A7374727273466F6C6465724E6F466F756E6401C4E0EDEDE0
      FF20EFE0EFEAE020EEF2F1F3F2F1F2E2F3E5F220E220F4E0E9EBEEE2EEE920F1
      E8F1F2E5ECE520F1E5F0E2E5F0E020C1C42E015468657265206973206E6F2066
      6F6C646572206F6E20736572766572010D0A73747272734E6F577269746501CE
      F2F1F3F2F1F2E2F3E5F220E4EEF1F2F3EF20EA20EFE0EFEAE520EDE020E7E0EF
      E8F1FC2E015468657265206973206E6F2061636365737320746F206120666F6C
      646572206F6E207265636F7264010D0A73744F74686572537472696E67730D0A
      73744C6F63616C65730D0A7374436F6C6C656374696F6E730D0A737443686172
      536574730D0A5466726D4F70656E466F6C646572015255535349414E5F434841
      525345540144454641554C545F43484152534554010D0A73744C697374566965
      775F54726565566965775F4974656D730D0A}
  end
end
