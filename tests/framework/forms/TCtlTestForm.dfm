object CtlTestForm: TCtlTestForm
  Left = 120
  Top = 80
  BorderStyle = bsSingle
  Caption = 'Controls test'
  ClientHeight = 200
  ClientWidth = 320
  Color = clBtnFace
  Font.Name = 'Verdana'
  Font.Height = -12
  Position = poDesigned
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object pnlTop: TCtlPanel
    Left = 0
    Top = 0
    Width = 320
    Height = 60
    Align = alTop
    TabOrder = 0
    object shpMark: TCtlShape
      Left = 8
      Top = 8
      Width = 40
      Height = 40
    end
    object btnOk: TButton
      Left = 200
      Top = 16
      Width = 75
      Height = 25
      Caption = 'OK'
      Default = True
      ModalResult = 1
      TabOrder = 0
      OnClick = btnOkClick
    end
  end
  object btnCancel: TButton
    Left = 200
    Top = 100
    Width = 75
    Height = 25
    Anchors = [akRight, akBottom]
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    TabOrder = 1
  end
end
