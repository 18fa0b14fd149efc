object sEditTestForm: TsEditTestForm
  Left = 100
  Top = 100
  BorderStyle = bsSingle
  Caption = 'Skinned edits'
  ClientHeight = 200
  ClientWidth = 300
  Color = clBtnFace
  Position = poDesigned
  object edName: TsEdit
    Left = 100
    Top = 40
    Width = 150
    Height = 21
    TabOrder = 0
    Text = 'Backup'
    BoundLabel.Active = True
    BoundLabel.Caption = 'Name:'
    BoundLabel.Layout = sclTopLeft
    SkinData.SkinSection = 'EDIT'
  end
  object edPassword: TsEdit
    Left = 100
    Top = 80
    Width = 150
    Height = 21
    Color = clInfoBk
    DisabledKind = [dkGrayed]
    MaxLength = 20
    PasswordChar = '*'
    TabOrder = 1
    Text = 'abc'
    SkinData.SkinSection = 'EDIT'
  end
end
