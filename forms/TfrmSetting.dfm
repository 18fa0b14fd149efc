object frmSetting: TfrmSetting
  Left = 0
  Top = 0
  Width = 1058
  Height = 711
  Caption = 'Quarnel Backup for MS SQL Server'
  Constraints.MinHeight = 450
  Constraints.MinWidth = 640
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Verdana'
  Menu = MainMenu1
  Position = poScreenCenter
  OnActivate = FormActivate
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  object pnlConnect: TPanel
    Left = 0
    Top = 0
    Width = 1050
    Height = 66
    Align = alTop
    BevelOuter = bvNone
    TabOrder = 0
    object lblServer: TLabel
      Left = 8
      Top = 8
      Caption = #1057#1077#1088#1074#1077#1088' MS SQL:'
    end
    object cbServers: TComboBox
      Left = 8
      Top = 28
      Width = 260
      Height = 21
      TabOrder = 0
      OnCloseUp = cbServersCloseUp
    end
    object rbNT: TRadioButton
      Left = 284
      Top = 8
      Width = 260
      Height = 17
      Caption = 'NT '#1073#1077#1079#1086#1087#1072#1089#1085#1086#1089#1090#1100
      Checked = True
      TabOrder = 1
      TabStop = True
      OnClick = rbNTClick
    end
    object rbnamePassword: TRadioButton
      Left = 284
      Top = 32
      Width = 260
      Height = 17
      Caption = #1048#1084#1103' '#1080' '#1087#1072#1088#1086#1083#1100' '#1085#1072' MS SQL server'
      TabOrder = 2
      OnClick = rbnamePasswordClick
    end
    object lblName: TLabel
      Left = 556
      Top = 10
      Caption = #1048#1084#1103':'
    end
    object edSQLName: TEdit
      Left = 640
      Top = 6
      Width = 160
      Height = 21
      Color = clBtnFace
      ReadOnly = True
      TabOrder = 3
    end
    object lblPassword: TLabel
      Left = 556
      Top = 36
      Caption = #1055#1072#1088#1086#1083#1100':'
    end
    object edSQLPassword: TEdit
      Left = 640
      Top = 32
      Width = 160
      Height = 21
      Color = clBtnFace
      PasswordChar = '*'
      ReadOnly = True
      TabOrder = 4
    end
    object btnOpen: TButton
      Left = 816
      Top = 5
      Width = 160
      Height = 25
      Caption = #1055#1086#1076#1082#1083#1102#1095#1080#1090#1100#1089#1103
      TabOrder = 5
      OnClick = btnOpenClick
    end
    object bbJourn: TBitBtn
      Left = 816
      Top = 33
      Width = 160
      Height = 25
      Caption = #1046#1091#1088#1085#1072#1083' '#1072#1088#1093#1080#1074#1086#1074
      TabOrder = 6
      OnClick = bbJournClick
    end
  end
  object ToolBar1: TToolBar
    Left = 0
    Top = 66
    Width = 1050
    Height = 24
    ButtonWidth = 90
    Flat = True
    ShowCaptions = True
    TabOrder = 1
    object tbPlus: TToolButton
      Left = 0
      Top = 0
      Hint = #1044#1086#1073#1072#1074#1080#1090#1100' '#1079#1072#1076#1072#1085#1080#1077
      Caption = #1044#1086#1073#1072#1074#1080#1090#1100
      ParentShowHint = False
      ShowHint = True
      OnClick = tbPlusClick
    end
    object tbEdit: TToolButton
      Left = 90
      Top = 0
      Hint = #1056#1077#1076#1072#1082#1090#1080#1088#1086#1074#1072#1090#1100' '#1079#1072#1076#1072#1085#1080#1077
      Caption = #1048#1079#1084#1077#1085#1080#1090#1100
      ParentShowHint = False
      ShowHint = True
      OnClick = tbEditClick
    end
    object tbDelete: TToolButton
      Left = 180
      Top = 0
      Hint = #1059#1076#1072#1083#1080#1090#1100' '#1079#1072#1076#1072#1085#1080#1077
      Caption = #1059#1076#1072#1083#1080#1090#1100
      ParentShowHint = False
      ShowHint = True
      OnClick = tbDeleteClick
    end
  end
  object sbBar: TStatusBar
    Left = 0
    Top = 646
    Width = 1050
    Height = 19
    Panels = <
      item
        Width = 260
      end
      item
        Width = 220
      end
      item
        Width = 300
      end
      item
        Style = psOwnerDraw
        Width = 150
      end>
    OnDrawPanel = sbBarDrawPanel
  end
  object pnlBottom: TPanel
    Left = 0
    Top = 616
    Width = 1050
    Height = 30
    Align = alBottom
    TabOrder = 3
    Visible = False
    object lbAct: TLabel
      Left = 12
      Top = 8
      Caption = #1048#1076#1105#1090' '#1087#1088#1086#1094#1077#1089#1089' '#1087#1088#1086#1074#1077#1088#1082#1080' '#1080' '#1072#1082#1090#1080#1074#1072#1094#1080#1080' '#1079#1072#1076#1072#1085#1080#1081
    end
  end
  object DBGridMain: TDBGrid
    Left = 0
    Top = 90
    Width = 1050
    Height = 526
    Align = alClient
    DataSource = dsSettings
    Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit]
    ReadOnly = True
    TabOrder = 2
    OnCellClick = DBGridMainCellClick
    OnDblClick = DBGridMainDblClick
    OnDrawColumnCell = DBGridMainDrawColumnCell
    Columns = <
      item
        Expanded = False
        FieldName = 'Server'
        ReadOnly = True
        Title.Caption = #1057#1077#1088#1074#1077#1088
        Width = 149
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'DBName'
        ReadOnly = True
        Title.Caption = #1041#1072#1079#1072' '#1076#1072#1085#1085#1099#1093
        Width = 122
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'Hour'
        ReadOnly = True
        Title.Caption = #1063#1072#1089
        Width = 111
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'Min'
        ReadOnly = True
        Title.Caption = #1052#1080#1085
        Width = 159
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'Path'
        ReadOnly = True
        Title.Caption = #1055#1091#1090#1100
        Width = 163
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'DateLast'
        ReadOnly = True
        Title.Caption = #1055#1086#1089#1083#1077#1076#1085#1080#1081' '#1079#1072#1087#1091#1089#1082
        Width = 135
        Visible = True
      end
      item
        Expanded = False
        FieldName = 'Result'
        ReadOnly = True
        Title.Caption = #1056#1077#1079#1091#1083#1100#1090#1072#1090
        Width = 99
        Visible = True
      end>
  end
  object MemSettitngs: TRxMemoryData
    FieldDefs = <
      item
        Name = 'ID'
        DataType = ftInteger
      end
      item
        Name = 'DBName'
        DataType = ftString
        Size = 250
      end
      item
        Name = 'Hour'
        DataType = ftInteger
      end
      item
        Name = 'Min'
        DataType = ftInteger
      end
      item
        Name = 'DateLast'
        DataType = ftDateTime
      end
      item
        Name = 'Result'
        DataType = ftString
        Size = 255
      end
      item
        Name = 'Path'
        DataType = ftString
        Size = 255
      end
      item
        Name = 'Type'
        DataType = ftString
        Size = 250
      end
      item
        Name = 'EveryType1'
        DataType = ftInteger
      end
      item
        Name = 'OnWeekDaysType1'
        DataType = ftBoolean
      end
      item
        Name = 'EveryType2'
        DataType = ftInteger
      end
      item
        Name = 'DayType2'
        DataType = ftString
        Size = 250
      end
      item
        Name = 'OnceType3'
        DataType = ftInteger
      end
      item
        Name = 'DateType3'
        DataType = ftDateTime
      end
      item
        Name = 'MonthType4'
        DataType = ftString
        Size = 250
      end
      item
        Name = 'EveryWeekType4'
        DataType = ftInteger
      end
      item
        Name = 'DailyOnType1'
        DataType = ftBoolean
      end
      item
        Name = 'EveryHour'
        DataType = ftInteger
      end
      item
        Name = 'Server'
        DataType = ftString
        Size = 250
      end
      item
        Name = 'StrConnect'
        DataType = ftString
        Size = 1000
      end
      item
        Name = 'bitArch'
        DataType = ftBoolean
      end
      item
        Name = 'bitPwdArch'
        DataType = ftBoolean
      end
      item
        Name = 'strPwdArch'
        DataType = ftString
        Size = 20
      end>
  end
  object dsSettings: TDataSource
    DataSet = MemSettitngs
  end
  object ADOConnection: TADOConnection
    LoginPrompt = False
    AfterConnect = ADOConnectionAfterConnect
    AfterDisconnect = ADOConnectionAfterDisconnect
  end
  object tmThreadTimerBackup: TTimer
    Interval = 900000
    OnTimer = tmThreadTimerBackupTimer
  end
  object tmResultat: TTimer
    Enabled = False
    Interval = 30000
    OnTimer = tmResultatTimer
  end
  object ImageList1: TImageList
  end
  object PopupMenu: TPopupMenu
    Images = ImageList1
    OnPopup = PopupMenuPopup
    object pmOpenProgram: TMenuItem
      Caption = #1054#1090#1082#1088#1099#1090#1100
      Default = True
      OnClick = pmOpenProgramClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object pmAutoRun: TMenuItem
      Caption = #1040#1074#1090#1086#1079#1072#1075#1088#1091#1079#1082#1072
      ImageIndex = 29
      OnClick = pmAutoRunClick
    end
    object N2: TMenuItem
      Caption = '-'
    end
    object pmCheckTime: TMenuItem
      Caption = #1063#1072#1089#1090#1086#1090#1072' '#1087#1088#1086#1074#1077#1088#1086#1082
      OnClick = pmCheckTimeClick
    end
    object N3: TMenuItem
      Caption = '-'
    end
    object mmRestoreDb: TMenuItem
      Caption = #1042#1086#1089#1089#1090#1072#1085#1086#1074#1080#1090#1100
      ImageIndex = 31
      OnClick = mmRestoreDbClick
    end
    object N4: TMenuItem
      Caption = '-'
    end
    object mmHelp: TMenuItem
      Caption = #1057#1087#1088#1072#1074#1082#1072
      ShortCut = 112
      OnClick = mmHelpClick
    end
    object pmAbout: TMenuItem
      Caption = #1054' '#1087#1088#1086#1075#1088#1072#1084#1084#1077
      ImageIndex = 26
      OnClick = pmAboutClick
    end
    object N5: TMenuItem
      Caption = '-'
    end
    object mmLang: TMenuItem
      Caption = 'Switch to Russian'
      ImageIndex = 32
      OnClick = mmLangClick
    end
    object pmClose: TMenuItem
      Caption = #1042#1099#1093#1086#1076
      ImageIndex = 27
      OnClick = pmCloseClick
    end
  end
  object MainMenu1: TMainMenu
    object mH: TMenuItem
      Caption = 'F1'
      ShortCut = 112
      Visible = False
      OnClick = mHClick
    end
  end
  object abfOneInstance1: TabfOneInstance
    Message = #1054#1076#1085#1072' '#1074#1077#1088#1089#1080#1103' '#1087#1088#1086#1075#1088#1072#1084#1084#1099' '#1091#1078#1077' '#1079#1072#1087#1091#1097#1077#1085#1072
    ShowMessage = True
  end
  object siLangDispatcher: TsiLangDispatcher
    NumOfLanguages = 2
    LangNames.Strings = (
      'Rus'
      'Eng')
    Language = 'Rus'
  end
  object siLang1: TsiLang
    Version = '6.4'
    StringsTypes.Strings = (
      'TIB_STRINGLIST'
      'TSTRINGLIST')
    NumOfLanguages = 2
    LangDispatcher = siLangDispatcher
    OnChangeLanguage = siLang1ChangeLanguage
    LangDelim = 1
    LangNames.Strings = (
      'Rus'
      'Eng')
    Language = 'Rus'
    TranslationData = {
      737443617074696F6E730D0A5466726D53657474696E6701517561726E656C20
      4261636B757020666F72204D532053514C2053657276657201517561726E656C
      204261636B757020666F72204D532053514C20536572766572010D0A6C626C53
      657276657201D1E5F0E2E5F0204D532053514C3A014D532053514C2053657276
      65723A010D0A72624E54014E5420E1E5E7EEEFE0F1EDEEF1F2FC014E54207361
      66657479010D0A72626E616D6550617373776F726401C8ECFF20E820EFE0F0EE
      EBFC20EDE0204D532053514C20736572766572014C6F67696E20616E64205061
      7373776F7264206F6E204D532053514C20736572766572010D0A6C626C4E616D
      6501C8ECFF3A014C6F67696E3A010D0A6C626C50617373776F726401CFE0F0EE
      EBFC3A0150617373776F72643A010D0A62624A6F75726E01C6F3F0EDE0EB20E0
      F0F5E8E2EEE2014261636B7570206C6F67010D0A7462506C757301C4EEE1E0E2
      E8F2FC01416464010D0A74624564697401C8E7ECE5EDE8F2FC0145646974010D
      0A746244656C65746501D3E4E0EBE8F2FC0144656C657465010D0A6C62416374
      01C8E4B8F220EFF0EEF6E5F1F120EFF0EEE2E5F0EAE820E820E0EAF2E8E2E0F6
      E8E820E7E0E4E0EDE8E901546865726520697320612070726F63657373206F66
      20636865636B20616E642061637469766174696F6E206F66207461736B73010D
      0A706D4F70656E50726F6772616D01CEF2EAF0FBF2FC014F70656E010D0A706D
      4175746F52756E01C0E2F2EEE7E0E3F0F3E7EAE00153746172747570010D0A70
      6D436865636B54696D6501D7E0F1F2EEF2E020EFF0EEE2E5F0EEEA0146726571
      75656E63696573206F6620766572696669636174696F6E73010D0A6D6D526573
      746F7265446201C2EEF1F1F2E0EDEEE2E8F2FC01526573746F7265010D0A6D6D
      48656C7001D1EFF0E0E2EAE00148656C70010D0A706D41626F757401CE20EFF0
      EEE3F0E0ECECE50141626F7574010D0A706D436C6F736501C2FBF5EEE4014578
      6974010D0A737448696E74730D0A7462506C757301C4EEE1E0E2E8F2FC20E7E0
      E4E0EDE8E501416464207461736B010D0A74624564697401D0E5E4E0EAF2E8F0
      EEE2E0F2FC20E7E0E4E0EDE8E50145646974207461736B010D0A746244656C65
      746501D3E4E0EBE8F2FC20E7E0E4E0EDE8E50144656C657465207461736B010D
      0A7374446973706C61794C6162656C730D0A7374466F6E74730D0A5466726D53
      657474696E670156657264616E610156657264616E61010D0A73744D756C7469
      4C696E65730D0A7374446C677343617074696F6E730D0A7374537472696E6773
      0D0A7374727273436F6E6E65637401CFEEE4EAEBFEF7E8F2FCF1FF01546F2063
      6F6E6E656374010D0A73747272734E6F436F6E6E65637401CEF2EAEBFEF7E8F2
      FCF1FF01546F20646973636F6E6E656374010D0A73747272734C697374536572
      76657201C7E0E3F0F3E7EAE020F1EFE8F1EAE020F1E5F0E2E5F0EEE2014C6F61
      64696E67206F662074686520736572766572206C697374010D0A737472727348
      69646501D1EAF0FBF2FC01546F2068696465010D0A73747272734F70656E01CE
      F2EAF0FBF2FC014F70656E010D0A7374727273537461727401D1F2E0F0F20153
      74617274010D0A737472727354696D6572426567696E01D2E0E9ECE5F03A20EA
      E0E6E4FBE50154696D65723A2065616368010D0A737472727354696D6572456E
      6401ECE8ED016D696E2E010D0A73747272734D696E01ECE8ED016D696E2E010D
      0A7374727273536572766572456E6401D2E5EAF3F9E8E920F1E5F0E2E5F00153
      6572766572010D0A737472727353657201D2E5EAF3F9E8E920F1E5F0E2E5F001
      536572766572010D0A7374727273436F6E6E65637459657301D1EEE5E4E8EDE5
      EDE8E53A20C4E001436F6E6E656374696F6E3A20596573010D0A737472727343
      6F6E6E6563744E6F01D1EEE5E4E8EDE5EDE8E53A20CDE5F201436F6E6E656374
      696F6E3A204E6F010D0A73747272735374617465436865636B01C8E4E5F220EF
      F0EEE2E5F0EAE02E20CFEEE4EEE6E4E8F2E52C20EFEEEAE020EEEDE020EDE520
      E7E0EAEEEDF7E8F2F1FF2E015468657265206973206120636865636B696E672E
      205761697420756E74696C20656E642E010D0A73747272735001CFF0E5E4F3EF
      F0E5E6E4E5EDE8E5015761726E696E67010D0A737472727352657301D0E5E7F3
      EBFCF2E0F201526573756C74010D0A73747272735375636301D3F1EFE5F8EDEE
      20E2FBEFEEEBEDE5EDEE0157656C6C20646F6E65207375636365737366756C6C
      79010D0A7374727273496E735461736B01C2EDE5F1E5EDE020E7E0E4E0F7E001
      546865207461736B2069732062726F75676874010D0A7374727359657301C4E0
      01596573010D0A737472734E6F01CDE5F2014E6F010D0A7374727344656C4301
      D3E4E0EBE8F2FC20E7E0E4E0F7F33F0144656C65746520746865206375727265
      6E74207461736B3F010D0A7374727344656C436F6E74012001010D0A73744F74
      686572537472696E67730D0A73744C6F63616C65730D0A7374436F6C6C656374
      696F6E730D0A4442477269644D61696E2E436F6C756D6E735B305D2E5469746C
      652E43617074696F6E01D1E5F0E2E5F001536572766572010D0A444247726964
      4D61696E2E436F6C756D6E735B315D2E5469746C652E43617074696F6E01C1E0
      E7E020E4E0EDEDFBF5014461746162617365010D0A4442477269644D61696E2E
      436F6C756D6E735B325D2E5469746C652E43617074696F6E01D7E0F101486F75
      72010D0A4442477269644D61696E2E436F6C756D6E735B335D2E5469746C652E
      43617074696F6E01CCE8ED014D696E2E010D0A4442477269644D61696E2E436F
      6C756D6E735B345D2E5469746C652E43617074696F6E01CFF3F2FC0150617468
      010D0A4442477269644D61696E2E436F6C756D6E735B355D2E5469746C652E43
      617074696F6E01CFEEF1EBE5E4EDE8E920E7E0EFF3F1EA014C617374206C6175
      6E6368696E67010D0A4442477269644D61696E2E436F6C756D6E735B365D2E54
      69746C652E43617074696F6E01D0E5E7F3EBFCF2E0F201526573756C74010D0A
      737443686172536574730D0A5466726D53657474696E67015255535349414E5F
      434841525345540144454641554C545F43484152534554010D0A73744C697374
      566965775F54726565566965775F4974656D730D0A}
  end
  object TrayIcon: TabfTrayIcon
    Hint = 'Quarnel Backup'
    PopupMenu = PopupMenu
    Visible = True
  end
end
