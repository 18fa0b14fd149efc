object FormTestMain: TFormTestMain
  Caption = 'Main form'
  Color = clGold
  Font.Name = 'Verdana'
  Font.Size = 10
  Font.Style = [fsBold, fsItalic]
  OnDblClick = FormDblClick
  object Panel1: TTestControl
    Align = alTop
    Caption = 'Panel'
    Tabs = 1
    object Button1: TTestControl
      Anchors = [akLeft, akBottom]
      Big = 5000000000
      Buddy = FormTestOther.Label1
      Caption = 'Press'#13#10'me'
      Hint = 'Wide '#1055#1088#1080
      Offset = -300
      Ratio = 1.25
      Tabs = 1
      OnClick = Button1Click
      OnKey = KeyHandler
    end
  end
  object Memo1: TTestControl
    Accel = 'M'
    Buddy = Button1
    Caption = 'Memo'
    Color = clBlack
    Index = 65535
    Lines.Strings = (
      'one'
      'two'
      '')
    Tabs = 3
    Visible = False
    OnClick = Button1Click
  end
  object Grid1: TTestGrid
    Color = 12615744
    Tabs = 1
    Columns = <
      item
        Title.Caption = 'First'
        Width = 64
        Data = {
          0102FF}
      end
      item
        Title.Caption = 'Second'
      end>
  end
end
