object CtlTestModule: TCtlTestModule
  OnCreate = ModuleCreate
  object tmTick: TTimer
    Enabled = False
    Interval = 250
  end
end
