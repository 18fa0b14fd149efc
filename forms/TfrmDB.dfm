object frmDB: TfrmDB
  Left = 0
  Top = 0
  Width = 320
  Height = 360
  Caption = #1042#1099#1073#1086#1088' '#1073#1072#1079#1099
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Verdana'
  Position = poScreenCenter
  OnClose = FormClose
  OnShow = FormShow
  object DBGrid: TDBGrid
    Left = 0
    Top = 0
    Width = 312
    Height = 285
    Align = alClient
    DataSource = dsDB
    Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit]
    ReadOnly = True
    TabOrder = 0
    OnDblClick = btnAppleClick
    Columns = <
      item
        Expanded = False
        FieldName = 'name'
        Title.Caption = #1053#1072#1080#1084#1077#1085#1086#1074#1072#1085#1080#1077' '#1073#1072#1079#1099
        Width = 260
        Visible = True
      end>
  end
  object pnlButtons: TPanel
    Left = 0
    Top = 285
    Width = 312
    Height = 41
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 1
    object btnApple: TButton
      Left = 60
      Top = 8
      Width = 120
      Height = 25
      Caption = #1055#1088#1080#1084#1077#1085#1080#1090#1100
      Default = True
      TabOrder = 0
      OnClick = btnAppleClick
    end
    object btnClose: TButton
      Left = 186
      Top = 8
      Width = 120
      Height = 25
      Cancel = True
      Caption = #1054#1090#1084#1077#1085#1072
      TabOrder = 1
      OnClick = btnCloseClick
    end
  end
  object dsDB: TDataSource
    DataSet = qryDB
  end
  object qryDB: TADOQuery
    CursorType = ctStatic
    SQL.Strings = (
      'select name from master..sysdatabases order by name')
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
      737443617074696F6E730D0A5466726D444201C2FBE1EEF020E1E0E7FB015365
      6C65637420746865204461746162617365010D0A62746E4170706C6501CFF0E8
      ECE5EDE8F2FC014170706C79010D0A62746E436C6F736501CEF2ECE5EDE00143
      616E63656C010D0A737448696E74730D0A7374446973706C61794C6162656C73
      0D0A7374466F6E74730D0A5466726D44420156657264616E610156657264616E
      61010D0A73744D756C74694C696E65730D0A7374446C677343617074696F6E73
      0D0A7374537472696E67730D0A73744F74686572537472696E67730D0A73744C
      6F63616C65730D0A7374436F6C6C656374696F6E730D0A4442477269642E436F
      6C756D6E735B305D2E5469746C652E43617074696F6E01CDE0E8ECE5EDEEE2E0
      EDE8E520E1E0E7FB014461746162617365206E616D65010D0A73744368617253
      6574730D0A5466726D4442015255535349414E5F434841525345540144454641
      554C545F43484152534554010D0A73744C697374566965775F54726565566965
      775F4974656D730D0A}
  end
end
