object frmAdd: TfrmAdd
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  Caption = #1044#1086#1073#1072#1074#1080#1090#1100
  ClientHeight = 312
  ClientWidth = 460
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Verdana'
  Position = poScreenCenter
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  object Notebook: TNotebook
    Left = 0
    Top = 0
    Width = 460
    Height = 270
    TabOrder = 0
    object TPage
      Left = 0
      Top = 0
      Caption = 'Start'
      object rbType3: TRadioButton
        Caption = #1054#1076#1085#1086#1082#1088#1072#1090#1085#1086
        Left = 24
        Top = 20
        Width = 300
        Height = 17
        TabOrder = 0
      end
      object rbType1: TRadioButton
        Caption = #1055#1086' '#1076#1085#1103#1084
        Left = 24
        Top = 46
        Width = 300
        Height = 17
        TabOrder = 1
      end
      object rbType2: TRadioButton
        Caption = #1055#1086' '#1076#1085#1103#1084' '#1085#1077#1076#1077#1083#1080
        Left = 24
        Top = 72
        Width = 300
        Height = 17
        TabOrder = 2
      end
      object rbType4: TRadioButton
        Caption = #1055#1086' '#1084#1077#1089#1103#1094#1072#1084
        Left = 24
        Top = 98
        Width = 300
        Height = 17
        TabOrder = 3
      end
      object lblServerName: TsLabel
        Caption = #1057#1077#1088#1074#1077#1088
        Left = 24
        Top = 140
        Width = 130
        Height = 14
        AutoSize = False
      end
      object leServerName: TsEdit
        Left = 24
        Top = 156
        Width = 300
        Height = 21
        Color = clBtnFace
        ReadOnly = True
        TabOrder = 4
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'Type1'
      object lblDB: TsLabel
        Caption = #1041#1072#1079#1072' '#1076#1072#1085#1085#1099#1093
        Left = 16
        Top = 10
        Width = 130
        Height = 14
        AutoSize = False
      end
      object edDB: TsComboEdit
        Left = 16
        Top = 26
        Width = 325
        Height = 21
        TabOrder = 0
        OnButtonClick = edDBButtonClick
      end
      object lblHourMinType1: TsLabel
        Caption = #1063#1072#1089', '#1084#1080#1085
        Left = 16
        Top = 54
        Width = 130
        Height = 14
        AutoSize = False
      end
      object seHourMinType1: TsTimePicker
        Left = 16
        Top = 70
        Width = 90
        Height = 21
        TabOrder = 1
        Text = '00:00:00'
      end
      object lblFolder: TsLabel
        Caption = #1055#1091#1090#1100' '#1082' '#1087#1072#1087#1082#1077
        Left = 16
        Top = 98
        Width = 130
        Height = 14
        AutoSize = False
      end
      object deFolder: TsComboEdit
        Left = 16
        Top = 114
        Width = 325
        Height = 21
        TabOrder = 2
        OnButtonClick = deFolderButtonClick
      end
      object rbDailyType1: TRadioButton
        Caption = #1045#1078#1077#1076#1085#1077#1074#1085#1086
        Left = 16
        Top = 148
        Width = 130
        Height = 17
        TabOrder = 3
        OnClick = rbDailyType1Click
      end
      object rbEveryType1: TRadioButton
        Caption = #1050#1072#1078#1076#1099#1081', '#1076#1085
        Left = 16
        Top = 174
        Width = 130
        Height = 17
        TabOrder = 4
        OnClick = rbEveryType1Click
      end
      object seEveryType1: TsSpinEdit
        Left = 150
        Top = 172
        Width = 56
        Height = 21
        MaxValue = 7
        MinValue = 1
        TabOrder = 5
        Text = '1'
        Enabled = False
      end
      object rbWeekdaysType1: TRadioButton
        Caption = #1055#1086' '#1074#1099#1093#1086#1076#1085#1099#1084
        Left = 16
        Top = 200
        Width = 130
        Height = 17
        TabOrder = 6
        OnClick = rbWeekdaysType1Click
      end
      object cbEveryCbType1: TCheckBox
        Caption = #1095#1077#1088#1077#1079' '#1082#1072#1078#1076#1099#1077' ('#1095')'
        Left = 16
        Top = 230
        Width = 160
        Height = 17
        TabOrder = 7
        OnClick = cbEveryCbType1Click
      end
      object seEveryHourType1: TsSpinEdit
        Left = 180
        Top = 228
        Width = 56
        Height = 21
        MaxValue = 24
        MinValue = 0
        TabOrder = 8
        Text = '0'
        Enabled = False
      end
      object lblEveryHourType1: TsLabel
        Caption = #1095#1072#1089
        Left = 242
        Top = 232
        Width = 130
        Height = 14
        AutoSize = False
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'Type2'
      object lblBaseType2: TsLabel
        Caption = #1041#1072#1079#1072
        Left = 16
        Top = 10
        Width = 130
        Height = 14
        AutoSize = False
      end
      object edBaseType2: TsComboEdit
        Left = 16
        Top = 26
        Width = 325
        Height = 21
        TabOrder = 0
        OnButtonClick = edDBButtonClick
      end
      object lblHourMinType2: TsLabel
        Caption = #1063#1072#1089', '#1084#1080#1085
        Left = 16
        Top = 54
        Width = 130
        Height = 14
        AutoSize = False
      end
      object seHourMinType2: TsTimePicker
        Left = 16
        Top = 70
        Width = 90
        Height = 21
        TabOrder = 1
        Text = '00:00:00'
      end
      object lblFolderType2: TsLabel
        Caption = #1055#1091#1090#1100' '#1082' '#1087#1072#1087#1082#1077
        Left = 16
        Top = 98
        Width = 130
        Height = 14
        AutoSize = False
      end
      object deFolderType2: TsComboEdit
        Left = 16
        Top = 114
        Width = 325
        Height = 21
        TabOrder = 2
        OnButtonClick = deFolderButtonClick
      end
      object lblWeekType2: TsLabel
        Caption = #1050#1072#1078#1076#1091#1102' '#1085#1077#1076#1077#1083#1102
        Left = 150
        Top = 54
        Width = 130
        Height = 14
        AutoSize = False
      end
      object seWeekType2: TsSpinEdit
        Left = 150
        Top = 70
        Width = 56
        Height = 21
        MaxValue = 6
        MinValue = 1
        TabOrder = 3
        Text = '1'
      end
      object cbDay1: TsCheckBox
        Caption = #1055#1086#1085#1077#1076#1077#1083#1100#1085#1080#1082
        Left = 16
        Top = 148
        Width = 170
        Height = 20
        TabOrder = 4
      end
      object cbDay2: TsCheckBox
        Caption = #1042#1090#1086#1088#1085#1080#1082
        Left = 16
        Top = 174
        Width = 170
        Height = 20
        TabOrder = 5
      end
      object cbDay3: TsCheckBox
        Caption = #1057#1088#1077#1076#1072
        Left = 16
        Top = 200
        Width = 170
        Height = 20
        TabOrder = 6
      end
      object cbDay4: TsCheckBox
        Caption = #1063#1077#1090#1074#1077#1088#1075
        Left = 16
        Top = 226
        Width = 170
        Height = 20
        TabOrder = 7
      end
      object cbDay5: TsCheckBox
        Caption = #1055#1103#1090#1085#1080#1094#1072
        Left = 200
        Top = 148
        Width = 170
        Height = 20
        TabOrder = 8
      end
      object cbDay6: TsCheckBox
        Caption = #1057#1091#1073#1073#1086#1090#1072
        Left = 200
        Top = 174
        Width = 170
        Height = 20
        TabOrder = 9
      end
      object cbDay7: TsCheckBox
        Caption = #1042#1086#1089#1082#1088#1077#1089#1077#1085#1100#1077
        Left = 200
        Top = 200
        Width = 170
        Height = 20
        TabOrder = 10
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'Type3'
      object lblBaseType3: TsLabel
        Caption = #1041#1072#1079#1072
        Left = 16
        Top = 10
        Width = 130
        Height = 14
        AutoSize = False
      end
      object edBaseType3: TsComboEdit
        Left = 16
        Top = 26
        Width = 325
        Height = 21
        TabOrder = 0
        OnButtonClick = edDBButtonClick
      end
      object lblHourMinType3: TsLabel
        Caption = #1063#1072#1089', '#1084#1080#1085
        Left = 16
        Top = 54
        Width = 130
        Height = 14
        AutoSize = False
      end
      object seHourMinType3: TsTimePicker
        Left = 16
        Top = 70
        Width = 90
        Height = 21
        TabOrder = 1
        Text = '00:00:00'
      end
      object lblFolderType3: TsLabel
        Caption = #1055#1091#1090#1100' '#1082' '#1087#1072#1087#1082#1077
        Left = 16
        Top = 98
        Width = 130
        Height = 14
        AutoSize = False
      end
      object deFolderType3: TsComboEdit
        Left = 16
        Top = 114
        Width = 325
        Height = 21
        TabOrder = 2
        OnButtonClick = deFolderButtonClick
      end
      object lblDateType3: TsLabel
        Caption = #1044#1072#1090#1072
        Left = 150
        Top = 54
        Width = 130
        Height = 14
        AutoSize = False
      end
      object dtDateType3: TsDateEdit
        Left = 150
        Top = 70
        Width = 110
        Height = 21
        TabOrder = 3
      end
      object cbOnceType3: TsCheckBox
        Caption = #1042#1099#1087#1086#1083#1085#1080#1090#1100' '#1079#1072#1076#1072#1085#1080#1077' '#1087#1086#1089#1083#1077' '#1089#1086#1079#1076#1072#1085#1080#1103
        Left = 16
        Top = 152
        Width = 400
        Height = 20
        TabOrder = 4
        OnClick = cbOnceType3Click
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'Type4'
      object lblBaseType4: TsLabel
        Caption = #1041#1072#1079#1072
        Left = 16
        Top = 10
        Width = 130
        Height = 14
        AutoSize = False
      end
      object edBaseType4: TsComboEdit
        Left = 16
        Top = 26
        Width = 325
        Height = 21
        TabOrder = 0
        OnButtonClick = edDBButtonClick
      end
      object lblHourTimeType4: TsLabel
        Caption = #1063#1072#1089', '#1084#1080#1085
        Left = 16
        Top = 54
        Width = 130
        Height = 14
        AutoSize = False
      end
      object seHourTimeType4: TsTimePicker
        Left = 16
        Top = 70
        Width = 90
        Height = 21
        TabOrder = 1
        Text = '00:00:00'
      end
      object lblFolderType4: TsLabel
        Caption = #1055#1091#1090#1100
        Left = 16
        Top = 98
        Width = 130
        Height = 14
        AutoSize = False
      end
      object deFolderType4: TsComboEdit
        Left = 16
        Top = 114
        Width = 325
        Height = 21
        TabOrder = 2
        OnButtonClick = deFolderButtonClick
      end
      object lblWeekType4: TsLabel
        Caption = #1050#1072#1078#1076#1099#1081' '#1076#1077#1085#1100
        Left = 150
        Top = 54
        Width = 130
        Height = 14
        AutoSize = False
      end
      object seWeekType4: TsSpinEdit
        Left = 150
        Top = 70
        Width = 56
        Height = 21
        MaxValue = 31
        MinValue = 1
        TabOrder = 3
        Text = '1'
      end
      object cb1Type4: TCheckBox
        Caption = #1071#1085#1074#1072#1088#1100
        Left = 16
        Top = 148
        Width = 130
        Height = 17
        TabOrder = 4
      end
      object cb2Type4: TCheckBox
        Caption = #1060#1077#1074#1088#1072#1083#1100
        Left = 16
        Top = 172
        Width = 130
        Height = 17
        TabOrder = 5
      end
      object cb3Type4: TCheckBox
        Caption = #1052#1072#1088#1090
        Left = 16
        Top = 196
        Width = 130
        Height = 17
        TabOrder = 6
      end
      object cb4Type4: TCheckBox
        Caption = #1040#1087#1088#1077#1083#1100
        Left = 16
        Top = 220
        Width = 130
        Height = 17
        TabOrder = 7
      end
      object cb5Type4: TCheckBox
        Caption = #1052#1072#1081
        Left = 156
        Top = 148
        Width = 130
        Height = 17
        TabOrder = 8
      end
      object cb6Type4: TCheckBox
        Caption = #1048#1102#1085#1100
        Left = 156
        Top = 172
        Width = 130
        Height = 17
        TabOrder = 9
      end
      object cb7Type4: TCheckBox
        Caption = #1048#1102#1083#1100
        Left = 156
        Top = 196
        Width = 130
        Height = 17
        TabOrder = 10
      end
      object cb8Type4: TCheckBox
        Caption = #1040#1074#1075#1091#1089#1090
        Left = 156
        Top = 220
        Width = 130
        Height = 17
        TabOrder = 11
      end
      object cb9Type4: TCheckBox
        Caption = #1057#1077#1085#1090#1103#1073#1088#1100
        Left = 296
        Top = 148
        Width = 130
        Height = 17
        TabOrder = 12
      end
      object cb10Type4: TCheckBox
        Caption = #1054#1082#1090#1103#1073#1088#1100
        Left = 296
        Top = 172
        Width = 130
        Height = 17
        TabOrder = 13
      end
      object cb11Type4: TCheckBox
        Caption = #1053#1086#1103#1073#1088#1100
        Left = 296
        Top = 196
        Width = 130
        Height = 17
        TabOrder = 14
      end
      object cb12Type4: TCheckBox
        Caption = #1044#1077#1082#1072#1073#1088#1100
        Left = 296
        Top = 220
        Width = 130
        Height = 17
        TabOrder = 15
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'Archive'
      object cbArch: TCheckBox
        Caption = #1040#1088#1093#1080#1074#1080#1088#1086#1074#1072#1090#1100' '#1088#1077#1079#1091#1083#1100#1090#1072#1090
        Left = 24
        Top = 20
        Width = 300
        Height = 17
        TabOrder = 0
        OnClick = cbArchClick
      end
      object cbArchPwd: TCheckBox
        Caption = #1057' '#1087#1072#1088#1086#1083#1077#1084
        Left = 24
        Top = 52
        Width = 300
        Height = 17
        Enabled = False
        TabOrder = 1
        OnClick = cbArchPwdClick
      end
      object edPasswordArch: TsEdit
        Left = 24
        Top = 78
        Width = 200
        Height = 21
        Color = clBtnFace
        Enabled = False
        MaxLength = 20
        PasswordChar = '*'
        TabOrder = 2
      end
      object lblPasswordArch2: TsLabel
        Caption = #1087#1086#1076#1090#1074#1077#1088#1078#1076#1077#1085#1080#1077
        Left = 24
        Top = 106
        Width = 130
        Height = 14
        AutoSize = False
      end
      object edPasswordArch2: TsEdit
        Left = 24
        Top = 122
        Width = 200
        Height = 21
        Color = clBtnFace
        Enabled = False
        MaxLength = 20
        PasswordChar = '*'
        TabOrder = 3
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'Finish'
      object memRes: TsMemo
        Left = 12
        Top = 12
        Width = 436
        Height = 246
        ReadOnly = True
        ScrollBars = ssVertical
        TabOrder = 0
      end
    end
  end
  object btnBack: TButton
    Left = 170
    Top = 278
    Width = 80
    Height = 25
    Caption = '<<'
    TabOrder = 1
    OnClick = btnBackClick
  end
  object btnNext: TButton
    Left = 256
    Top = 278
    Width = 80
    Height = 25
    Caption = '>>'
    Default = True
    TabOrder = 2
    OnClick = btnNextClick
  end
  object btnApply: TButton
    Caption = #1055#1088#1080#1084#1077#1085#1080#1090#1100
    Left = 256
    Top = 278
    Width = 80
    Height = 25
    TabOrder = 3
    Visible = False
    OnClick = btnApplyClick
  end
  object btnCancel: TButton
    Caption = #1054#1090#1084#1077#1085#1072
    Left = 370
    Top = 278
    Width = 80
    Height = 25
    Cancel = True
    TabOrder = 4
    OnClick = btnCancelClick
  end
  object ADOConnectionUpdate: TADOConnection
    LoginPrompt = False
  end
  object qryFolderExists: TADOQuery
    Connection = ADOConnectionUpdate
    SQL.Strings = (
      'if isnull(object_id(''tempdb..#TempTableFileEx''),0)>0 drop table #TempTableFileEx'
      'create table #TempTableFileEx (File_Exists int, Dir int, ParentDir int)'
      'insert #TempTableFileEx'
      'exec master..xp_fileexist :@PathName'
      'select File_Exists,Dir,ParentDir from #TempTableFileEx')
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
      737443617074696F6E730D0A5466726D41646401C4EEE1E0E2E8F2FC01416464
      010D0A7262547970653301CEE4EDEEEAF0E0F2EDEE0153696E676C65010D0A72
      62547970653101CFEE20E4EDFFEC014F6E2064617973010D0A72625479706532
      01CFEE20E4EDFFEC20EDE5E4E5EBE8014F6E2064617973206F66207468652077
      65656B010D0A7262547970653401CFEE20ECE5F1FFF6E0EC014F6E206D6F6E74
      6873010D0A6C626C5365727665724E616D6501D1E5F0E2E5F001536572766572
      010D0A6C626C444201C1E0E7E020E4E0EDEDFBF5014461746162617365010D0A
      6C626C486F75724D696E547970653101D7E0F12C20ECE8ED01486F75722C206D
      696E2E010D0A6C626C466F6C64657201CFF3F2FC20EA20EFE0EFEAE501466F6C
      6465722070617468010D0A72624461696C79547970653101C5E6E5E4EDE5E2ED
      EE014461696C79010D0A72624576657279547970653101CAE0E6E4FBE92C20E4
      ED01456163682C20646179010D0A72625765656B64617973547970653101CFEE
      20E2FBF5EEE4EDFBEC014F6E2064617973206F6666010D0A6362457665727943
      62547970653101F7E5F0E5E720EAE0E6E4FBE52028F7290154726F7567682065
      76657279206F6E65010D0A6C626C4576657279486F7572547970653101F7E0F1
      01486F7572010D0A6C626C42617365547970653201C1E0E7E001446174616261
      7365010D0A6C626C486F75724D696E547970653201D7E0F12C20ECE8ED01486F
      75722C206D696E2E010D0A6C626C466F6C646572547970653201CFF3F2FC20EA
      20EFE0EFEAE501466F6C6465722070617468010D0A6C626C5765656B54797065
      3201CAE0E6E4F3FE20EDE5E4E5EBFE014576657279207765656B010D0A636244
      61793101CFEEEDE5E4E5EBFCEDE8EA014D6F6E646179010D0A63624461793201
      C2F2EEF0EDE8EA0154756573646179010D0A63624461793301D1F0E5E4E00157
      65646E6573646179010D0A63624461793401D7E5F2E2E5F0E301546875727364
      6179010D0A63624461793501CFFFF2EDE8F6E001467269646179010D0A636244
      61793601D1F3E1E1EEF2E0015361747572646179010D0A63624461793701C2EE
      F1EAF0E5F1E5EDFCE50153756E646179010D0A6C626C42617365547970653301
      C1E0E7E0014461746162617365010D0A6C626C486F75724D696E547970653301
      D7E0F12C20ECE8ED01486F75722C206D696E2E010D0A6C626C466F6C64657254
      7970653301CFF3F2FC20EA20EFE0EFEAE501466F6C6465722070617468010D0A
      6C626C44617465547970653301C4E0F2E00144617465010D0A63624F6E636554
      7970653301C2FBEFEEEBEDE8F2FC20E7E0E4E0EDE8E520EFEEF1EBE520F1EEE7
      E4E0EDE8FF014163636F6D706C69736820746865207461736B20616674657220
      6372656174696F6E010D0A6C626C42617365547970653401C1E0E7E001446174
      6162617365010D0A6C626C486F757254696D65547970653401D7E0F12C20ECE8
      ED01486F75722C206D696E2E010D0A6C626C466F6C646572547970653401CFF3
      F2FC0150617468010D0A6C626C5765656B547970653401CAE0E6E4FBE920E4E5
      EDFC01457665727920646179010D0A636231547970653401DFEDE2E0F0FC014A
      616E75617279010D0A636232547970653401D4E5E2F0E0EBFC01466562727561
      7279010D0A636233547970653401CCE0F0F2014D61726368010D0A6362345479
      70653401C0EFF0E5EBFC01417072696C010D0A636235547970653401CCE0E901
      4D6179010D0A636236547970653401C8FEEDFC014A756E65010D0A6362375479
      70653401C8FEEBFC014A756C79010D0A636238547970653401C0E2E3F3F1F201
      417567757374010D0A636239547970653401D1E5EDF2FFE1F0FC015365707465
      6D626572010D0A63623130547970653401CEEAF2FFE1F0FC014F63746F626572
      010D0A63623131547970653401CDEEFFE1F0FC014E6F76656D626572010D0A63
      623132547970653401C4E5EAE0E1F0FC01446563656D626572010D0A63624172
      636801C0F0F5E8E2E8F0EEE2E0F2FC20F0E5E7F3EBFCF2E0F201417263686976
      6520726573756C7473010D0A63624172636850776401D120EFE0F0EEEBE5EC01
      50617373776F7264010D0A6C626C50617373776F7264417263683201EFEEE4F2
      E2E5F0E6E4E5EDE8E501526570656174010D0A62746E4170706C7901CFF0E8EC
      E5EDE8F2FC014170706C79010D0A62746E43616E63656C01CEF2ECE5EDE00143
      616E63656C010D0A737448696E74730D0A7374446973706C61794C6162656C73
      0D0A7374466F6E74730D0A5466726D4164640156657264616E61015665726461
      6E61010D0A73744D756C74694C696E65730D0A7374446C677343617074696F6E
      730D0A7374537472696E67730D0A73747272734E6F446201C2FB20EDE520F3EA
      E0E7E0EBE820E1E0E7F320E4E0EDEDFBF501596F7520686176656E2774207370
      656369666965642061206461746162617365010D0A73747272734E6F41726368
      01C2FB20EDE520F3EAE0E7E0EBE820EFF3F2FC20E4EBFF20F4E0E9EBE020E0F0
      F5E8E2E001596F7520686176656E277420737065636966696564206120706174
      68010D0A7374727273466F6C6465724E6F6E6501CEF2F1F3F2F1F2E2F3E5F220
      E4EEF1F2F3EF20EA20EFE0EFEAE520EDE020E7E0EFE8F1FC2E01546865726520
      6973206E6F2061636365737320746F206120666F6C646572206F6E207265636F
      7264010D0A737472734E6F50776401CDE5E2E5F0EDEEE520EFEEE4F2E2E5F0E6
      E4E5EDE8E520EFE0F0EEEBFF01496E76616C69642070617373776F726420636F
      6E6669726D6174696F6E010D0A73747272734164645461736B01C2FB20F3E2E5
      F0E5EDFB20F7F2EE20E6E5EBE0E5F2E520F1EEF5F0E0EDE8F2FC20E7E0E4E0ED
      E8E53F0141726520796F7520737572652C20796F752077616E7420746F207361
      766520746865207461736B3F010D0A73747272734C696E6B5365727601D3F1F2
      E0EDEEE2E8F2FC20F1E2FFE7FC20F120F1E5F0E2E5F0EEEC01546F2065737461
      626C69736820636F6E6E656374696F6E20776974682074686520736572766572
      3F010D0A73747272735001CFF0E5E4F3EFF0E5E6E4E5EDE8E5015761726E696E
      67010D0A73747272735701C2EEEFF0EEF1015175657374696F6E010D0A737472
      72734461696C7901C5E6E5E4EDE5E2EDEE014F6E2064617973010D0A73747272
      73457665727901CAE0E6E4FBE90145616368010D0A737472727344617901C4E5
      EDFC01446179010D0A73747272734F6E5765656B6461797301CFEE20E2FBF5EE
      E4EDFBEC014F6E2064617973206F6666010D0A73747272734F6E636501CEE4ED
      EEEAF0E0F2EDEE014F6E6365010D0A737472727352756E01C7E0EFF3F1EA0152
      756E010D0A73747272734D6F6E746C7901CFEE20ECE5F1FFF6E0EC014F6E206D
      6F6E746873010D0A7374727273444201C1E0E7E020E4E0EDEDFBF50144617461
      62617365010D0A73747272734461746501C4E0F2E00144617465010D0A737472
      7273486F757201D7E0F101486F7572010D0A73747272734D696E01CCE8ED014D
      696E010D0A73747272735061746801CFF3F2FC0150617468010D0A7374727273
      52756E59657301C2FBEFEEEBEDE8F2FC20E7E0E4E0EDE8E520EFEEF1EBE520F1
      EEE7E4E0EDE8FF3A20E4E0014163636F6D706C69736820746865207461736B20
      6166746572206372656174696F6E3A20796573010D0A737472727352756E4E6F
      01C2FBEFEEEBEDE8F2FC20E7E0E4E0EDE8E520EFEEF1EBE520F1EEE7E4E0EDE8
      FF3A20EDE5F2014163636F6D706C69736820746865207461736B206166746572
      206372656174696F6E3A206E6F010D0A7374727273426164436861727301C8EC
      FF20E1E0E7FB2C20EFF3F2FC2C20F1E5F0E2E5F020E820EFE0F0EEEBFC20EDE5
      20ECEEE3F3F220F1EEE4E5F0E6E0F2FC20F1E8ECE2EEEB20223B222C20EFE0F0
      EEEBFC20E820F1F2F0EEEAE020EFEEE4EAEBFEF7E5EDE8FF202D20F1E8ECE2EE
      EB20227C222E015468652064617461626173652C20706174682C207365727665
      7220616E642070617373776F72642063616E6E6F7420636F6E7461696E20223B
      222C207468652070617373776F726420616E642074686520636F6E6E65637469
      6F6E20737472696E672063616E6E6F7420636F6E7461696E20227C222E010D0A
      73744F74686572537472696E67730D0A73744C6F63616C65730D0A7374436F6C
      6C656374696F6E730D0A737443686172536574730D0A5466726D416464015255
      535349414E5F434841525345540144454641554C545F43484152534554010D0A
      73744C697374566965775F54726565566965775F4974656D730D0A}
  end
end
