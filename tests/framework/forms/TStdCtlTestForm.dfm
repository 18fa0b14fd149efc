object StdCtlTestForm: TStdCtlTestForm
  Left = 100
  Top = 100
  BorderStyle = bsSingle
  Caption = 'Standard controls'
  ClientHeight = 320
  ClientWidth = 420
  Color = clBtnFace
  Font.Name = 'Verdana'
  Font.Height = -12
  Position = poDesigned
  object lblName: TLabel
    Left = 8
    Top = 8
    Caption = '&Name'
    FocusControl = edName
  end
  object edName: TEdit
    Left = 80
    Top = 8
    Width = 150
    Height = 21
    MaxLength = 20
    TabOrder = 0
    Text = 'Backup'
    OnChange = edNameChange
  end
  object edPassword: TEdit
    Left = 80
    Top = 36
    Width = 150
    Height = 21
    PasswordChar = '*'
    ReadOnly = True
    TabOrder = 1
    Text = 'secret'
  end
  object mmNotes: TMemo
    Left = 240
    Top = 8
    Width = 170
    Height = 80
    Lines.Strings = (
      'first line'
      'second line')
    ScrollBars = ssVertical
    TabOrder = 2
    WordWrap = False
  end
  object cbArch: TCheckBox
    Left = 8
    Top = 64
    Width = 150
    Height = 17
    Caption = 'Archive results'
    State = cbChecked
    TabOrder = 3
    OnClick = cbArchClick
  end
  object gbKind: TGroupBox
    Left = 8
    Top = 90
    Width = 200
    Height = 90
    Caption = 'Kind'
    TabOrder = 4
    object rbDaily: TRadioButton
      Left = 8
      Top = 20
      Width = 120
      Height = 17
      Caption = 'Daily'
      Checked = True
      TabOrder = 0
      OnClick = rbClick
    end
    object rbWeekly: TRadioButton
      Left = 8
      Top = 40
      Width = 120
      Height = 17
      Caption = 'Weekly'
      TabOrder = 1
      OnClick = rbClick
    end
  end
  object cmbServer: TComboBox
    Left = 220
    Top = 100
    Width = 180
    Height = 21
    ItemIndex = 1
    Items.Strings = (
      'alpha'
      'beta'
      'gamma')
    Style = csDropDownList
    TabOrder = 5
    OnChange = cmbServerChange
    OnCloseUp = cmbServerCloseUp
  end
  object lbDatabases: TListBox
    Left = 220
    Top = 130
    Width = 180
    Height = 80
    Items.Strings = (
      'model'
      'master'
      'tempdb')
    Sorted = True
    TabOrder = 6
  end
end
