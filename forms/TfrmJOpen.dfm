object frmJOpen: TfrmJOpen
  Left = 0
  Top = 0
  Width = 720
  Height = 420
  Caption = #1046#1091#1088#1085#1072#1083' '#1072#1088#1093#1080#1074#1086#1074
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Verdana'
  Position = poScreenCenter
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  object DBGridRes: TRxDBGrid
    Left = 0
    Top = 0
    Width = 712
    Height = 345
    Align = alClient
    DataSource = dsRes
    ReadOnly = True
    TabOrder = 0
    TitleFont.Charset = RUSSIAN_CHARSET
    TitleFont.Color = clWindowText
    TitleFont.Height = -14
    TitleFont.Name = 'Verdana'
    OnCellClick = DBGridResCellClick
    OnDblClick = DBGridResDblClick
    AutoAppend = False
    Columns = <
      item
        Expanded = False
        FieldName = 'memID'
        Title.Caption = '#'
        Width = 91
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'memDateTime'
        Title.Caption = #1044#1072#1090#1072
        Width = 95
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'memServer'
        Title.Caption = #1057#1077#1088#1074#1077#1088
        Width = 92
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'memDB'
        Title.Caption = #1041#1072#1079#1072
        Width = 101
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'memRes'
        Title.Caption = #1056#1077#1079#1091#1083#1100#1090#1072#1090
        Width = 111
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'memPathFile'
        Title.Caption = #1055#1091#1090#1100
        Width = 146
        Visible = True
      end>
  end
  object pnlButtons: TsPanel
    Left = 0
    Top = 345
    Width = 712
    Height = 41
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 1
    object bbClear: TBitBtn
      Left = 8
      Top = 8
      Width = 110
      Height = 25
      Caption = #1054#1095#1080#1089#1090#1080#1090#1100
      TabOrder = 0
      OnClick = bbClearClick
    end
    object BitBtn1: TBitBtn
      Left = 594
      Top = 8
      Width = 110
      Height = 25
      Anchors = [akTop, akRight]
      Caption = #1042#1099#1093#1086#1076
      TabOrder = 1
      OnClick = BitBtn1Click
    end
  end
  object rxMem: TRxMemoryData
    FieldDefs = <
      item
        Name = 'memID'
        DataType = ftInteger
      end
      item
        Name = 'memDateTime'
        DataType = ftDateTime
      end
      item
        Name = 'memRes'
        DataType = ftString
        Size = 255
      end
      item
        Name = 'memServer'
        DataType = ftString
        Size = 255
      end
      item
        Name = 'memDB'
        DataType = ftString
        Size = 255
      end
      item
        Name = 'memPathFile'
        DataType = ftString
        Size = 255
      end>
  end
  object dsRes: TDataSource
    DataSet = rxMem
  end
  object siLang1: TsiLang
    Version = '6.4'
    StringsTypes.Strings = (
      'TIB_STRINGLIST'
      'TSTRINGLIST')
    NumOfLanguages = 2
    LangDispatcher = frmSetting.siLangDispatcher
    OnChangeLanguage = siLang1ChangeLanguage
    LangDelim = 1
    LangNames.Strings = (
      'Rus'
      'Eng')
    Language = 'Rus'
    TranslationData = {
      737443617074696F6E730D0A5466726D4A4F70656E01C6F3F0EDE0EB20E0F0F5
      E8E2EEE2014261636B7570206C6F67010D0A6262436C65617201CEF7E8F1F2E8
      F2FC01436C656172010D0A42697442746E3101C2FBF5EEE40145786974010D0A
      737448696E74730D0A7374446973706C61794C6162656C730D0A7374466F6E74
      730D0A5466726D4A4F70656E0156657264616E610156657264616E61010D0A73
      744D756C74694C696E65730D0A7374446C677343617074696F6E730D0A737453
      7472696E67730D0A737472527344656C4A6F75726E01C2FB20F3E2E5F0E5EDFB
      20F7F2EE20E6E5EBE0E5F2E520EEF7E8F1F2E8F2FC20E6F3F0EDE0EB3F014172
      6520796F7520737572652C20796F752077616E7420746F20636C656172207468
      65206C6F673F010D0A73747252734101C2EEEFF0EEF13F015175657374696F6E
      010D0A7374727273447001CFEEE4F0EEE1EDEEF1F2E8014D6F7265010D0A7374
      4F74686572537472696E67730D0A73744C6F63616C65730D0A7374436F6C6C65
      6374696F6E730D0A4442477269645265732E436F6C756D6E735B305D2E546974
      6C652E43617074696F6E01230123010D0A4442477269645265732E436F6C756D
      6E735B315D2E5469746C652E43617074696F6E01C4E0F2E00144617465010D0A
      4442477269645265732E436F6C756D6E735B325D2E5469746C652E4361707469
      6F6E01D1E5F0E2E5F001536572766572010D0A4442477269645265732E436F6C
      756D6E735B335D2E5469746C652E43617074696F6E01C1E0E7E0014461746162
      617365010D0A4442477269645265732E436F6C756D6E735B345D2E5469746C65
      2E43617074696F6E01D0E5E7F3EBFCF2E0F201526573756C74010D0A44424772
      69645265732E436F6C756D6E735B355D2E5469746C652E43617074696F6E01CF
      F3F2FC0150617468010D0A737443686172536574730D0A5466726D4A4F70656E
      015255535349414E5F434841525345540144454641554C545F43484152534554
      010D0A73744C697374566965775F54726565566965775F4974656D730D0A}
  end
end
