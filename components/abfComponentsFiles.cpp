// The shell's file operation and the registration of file extensions.
#include "abfComponents.h"

#include "Dialogs.h"
#include "Registry.h"

#include <shlobj.h>

#include <vector>

// ---------------------------------------------------------------------------------------------
// TabfFileOperation

TabfFileOperation::TabfFileOperation(TComponent* AOwner) : TabfComponent(AOwner) {
    FFileList = Create<TStringList>();
}

TabfFileOperation::~TabfFileOperation() { FreeAndNil(FFileList); }

void TabfFileOperation::DefineClass(TClassBuilder<TabfFileOperation>& B) {
    using T = TabfFileOperation;
    B.Property("FileList", &T::FileList, &T::SetFileList);
    B.Property("DestFolder", &T::DestFolder, &T::SetDestFolder);
    B.Property("ProgressTitle", &T::ProgressTitle, &T::SetProgressTitle);
    B.Property("Operation", &T::Operation, &T::SetOperation).Default(fotCopy);
    B.Property("Options", &T::Options, &T::SetOptions)
        .Default(TabfFileOperationFlags{fofAllowUndo, fofFilesOnly, fofRenameCollision});
    B.Property("OnError", &T::OnError, &T::OnError);
}

namespace {
// The shell's lists: names each ended by a zero, the list by one more.
void AppendName(std::string& List, const std::string& Name) {
    if (Name.empty())
        return;
    List += Name;
    List += '\0';
}

UINT ShellOperation(TabfFileOperationType Op) {
    switch (Op) {
    case fotCopy: return FO_COPY;
    case fotDelete: return FO_DELETE;
    case fotMove: return FO_MOVE;
    case fotRename: return FO_RENAME;
    }
    return FO_COPY;
}

FILEOP_FLAGS ShellFlags(TabfFileOperationFlags Options) {
    static const struct {
        TabfFileOperationFlag Flag;
        FILEOP_FLAGS Value;
    } Map[] = {{fofAllowUndo, FOF_ALLOWUNDO},          {fofFilesOnly, FOF_FILESONLY},
               {fofNoConfirmation, FOF_NOCONFIRMATION}, {fofNoConfirmMkDir, FOF_NOCONFIRMMKDIR},
               {fofNoErrorUI, FOF_NOERRORUI},          {fofRenameCollision, FOF_RENAMEONCOLLISION},
               {fofSilent, FOF_SILENT},                {fofSimpleProgress, FOF_SIMPLEPROGRESS}};
    FILEOP_FLAGS Flags = 0;
    for (const auto& M : Map)
        if (Options.Contains(M.Flag))
            Flags |= M.Value;
    return Flags;
}
}  // namespace

bool TabfFileOperation::ExecuteOperation(TabfFileOperationType Op) {
    if (FFileList->Count() == 0)
        return true;
    TWinControl* OwnerControl = DynCast<TWinControl>(Owner());
    bool Mapped = FFileList->Text().find('=') != std::string::npos;
    std::string Sources, Destinations;
    for (int I = 0; I < FFileList->Count(); ++I) {
        std::string Line = FFileList->Strings(I);
        if (!Mapped) {
            AppendName(Sources, Line);
            continue;
        }
        std::size_t Eq = Line.find('=');
        std::string Source = Line.substr(0, Eq);
        std::string Dest = Eq == std::string::npos ? std::string() : Line.substr(Eq + 1);
        if (Source.empty())
            continue;
        AppendName(Sources, Source);
        AppendName(Destinations, ApplyFileNameMask(Source, MakeAbsolutePath(FDestFolder, Dest)));
    }
    if (!Mapped)
        AppendName(Destinations, FDestFolder);
    Sources += '\0';
    Destinations += '\0';
    Destinations += '\0';

    SHFILEOPSTRUCTA Op32{};
    Op32.hwnd = OwnerControl ? OwnerControl->Handle() : nullptr;
    Op32.wFunc = ShellOperation(Op);
    Op32.pFrom = Sources.c_str();
    Op32.pTo = Destinations.c_str();
    Op32.fFlags = ShellFlags(FOptions) | (Mapped ? FOF_MULTIDESTFILES : 0);
    Op32.lpszProgressTitle = FProgressTitle.c_str();
    int Code = SHFileOperationA(&Op32);
    if (Code == 0)
        return true;
    // 18 (no more files) is the shell's answer to a cancelled operation: nothing to report.
    if (Code != ERROR_NO_MORE_FILES) {
        std::string Text;
        GetErrorText(static_cast<DWORD>(Code), Text);
        DoError(Text);
    }
    return false;
}

void TabfFileOperation::GetErrorText(DWORD Code, std::string& Text) {
    Text.clear();
    if (Code == 0)
        return;
    char Buf[1024] = {};
    DWORD Len = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0, Buf,
                               sizeof Buf, nullptr);
    Text.assign(Buf, Len);
}

bool TabfFileOperation::DoError(const std::string& Text) {
    bool Handled = false;
    OnError(this, Text, Handled);
    return Handled;
}

// ---------------------------------------------------------------------------------------------
// TabfFileAssociation

namespace {
const char* const VerbKeys[TabfFileAssociation::VerbCount] = {"shell\\open", "shell\\opennew", "shell\\edit",
                                                              "shell\\print", "shell\\printto"};

// The default value of a key under HKEY_CLASSES_ROOT ("" when the key or value is missing).
std::string ReadDefault(const std::string& Key) {
    TOwned<TRegistry> Reg(Create<TRegistry>(KEY_READ));
    Reg->SetRootKey(HKEY_CLASSES_ROOT);
    if (!Reg->OpenKey(Key, false))
        return std::string();
    try {
        return Reg->ReadString("");
    } catch (...) {
        return std::string();
    }
}

bool WriteDefault(TRegistry* Reg, const std::string& Key, const std::string& Value) {
    Reg->CloseKey();
    if (!Reg->OpenKey("\\" + Key, true))
        return false;
    Reg->WriteString("", Value);
    return true;
}
}  // namespace

TabfFileAssociation::TabfFileAssociation(TComponent* AOwner) : TabfComponent(AOwner) {
    FLargeIcon = Create<TIcon>();
    FSmallIcon = Create<TIcon>();
}

TabfFileAssociation::~TabfFileAssociation() {
    FreeAndNil(FLargeIcon);
    FreeAndNil(FSmallIcon);
}

void TabfFileAssociation::DefineClass(TClassBuilder<TabfFileAssociation>& B) {
    using T = TabfFileAssociation;
    B.Property("Extension", &T::Extension, &T::SetExtension);
    B.Property("ExtDescription", &T::ExtDescription, &T::SetExtDescription);
    B.Property("FileDescription", &T::FileDescription, &T::SetFileDescription);
    B.Property("IconFile", &T::IconFile, &T::SetIconFile);
    B.Property("IconIndex", &T::IconIndex, &T::SetIconIndex).Default(0);
    static const char* const Names[VerbCount][2] = {{"OpenCommand", "OpenCommandDescription"},
                                                     {"OpenNewCommand", "OpenNewCommandDescription"},
                                                     {"EditCommand", "EditCommandDescription"},
                                                     {"PrintCommand", "PrintCommandDescription"},
                                                     {"PrintToCommand", "PrintToCommandDescription"}};
    for (int V = 0; V < VerbCount; ++V) {
        auto Verb = static_cast<TVerb>(V);
        B.Property(Names[V][0], [Verb](T* O) { return O->Command(Verb); },
                   [Verb](T* O, const std::string& S) { O->SetCommand(Verb, S); });
        B.Property(Names[V][1], [Verb](T* O) { return O->CommandDescription(Verb); },
                   [Verb](T* O, const std::string& S) { O->SetCommandDescription(Verb, S); });
    }
    // Their setters do nothing: the pictures follow the registration.
    B.Property("LargeIcon", &T::LargeIcon, [](T*, TIcon*) {});
    B.Property("SmallIcon", &T::SmallIcon, [](T*, TIcon*) {});
    B.Property("ReadOnly", &T::ReadOnly, &T::SetReadOnly).Default(true);
}

void TabfFileAssociation::SetExtension(const std::string& Value) {
    if (FExtension == Value)
        return;
    FExtension = !Value.empty() && Value[0] != '.' ? "." + Value : Value;
    Refresh();
}

void TabfFileAssociation::SetText(std::string& Field, const std::string& Value) {
    if (Field == Value || (!Designing() && FReadOnly))
        return;
    Field = Value;
    Apply();
}

void TabfFileAssociation::SetIconIndex(LongInt Value) {
    if (FIconIndex == Value || (!Designing() && FReadOnly))
        return;
    FIconIndex = Value;
    Apply();
}

void TabfFileAssociation::Apply() {
    if (Busy())
        return;
    if (!Designing()) {
        try {
            Save();
        } catch (...) {
        }
        return;
    }
    if (FReadOnly)
        MessagePresenter().MessageBox(nullptr, "Cannot change the property in Read-Only mode.", "Warning",
                                      MB_ICONEXCLAMATION);
    else if (!Save())
        MessagePresenter().MessageBox(nullptr, "Cannot write to registry.", "Error", MB_ICONERROR);
}

void TabfFileAssociation::ClearFields() {
    FExtDescription.clear();
    FFileDescription.clear();
    FIconFile.clear();
    FIconIndex = 0;
    FLargeIcon->Assign(nullptr);
    FSmallIcon->Assign(nullptr);
    for (int V = 0; V < VerbCount; ++V) {
        FCommands[V].clear();
        FDescriptions[V].clear();
    }
}

bool TabfFileAssociation::Refresh() {
    if (Busy())
        return false;
    ClearFields();
    if (FExtension.empty() || FExtension == ".")
        return false;
    bool Found = false;
    FExtDescription = ReadDefault(FExtension);
    if (!FExtDescription.empty()) {
        TOwned<TRegistry> Reg(Create<TRegistry>(KEY_READ));
        Reg->SetRootKey(HKEY_CLASSES_ROOT);
        Found = Reg->OpenKey(FExtDescription, false);
        if (Found) {
            FFileDescription = ReadDefault(FExtDescription);
            FIconFile = ReadDefault(FExtDescription + "\\DefaultIcon");
            for (int V = 0; V < VerbCount; ++V) {
                std::string Key = FExtDescription + "\\" + VerbKeys[V];
                FDescriptions[V] = ReadDefault(Key);
                FCommands[V] = ReadDefault(Key + "\\command");
            }
        }
    }
    // "file,5": the number after the last comma is the icon's; "file,5,x" drops ",x" first.
    std::size_t Comma = FIconFile.rfind(',');
    if (Comma != std::string::npos) {
        std::string Text = FIconFile.substr(0, Comma);
        std::string Number = FIconFile.substr(Comma + 1);
        std::size_t Before = Text.rfind(',');
        if (Before != std::string::npos) {
            Number = Text.substr(Before + 1);
            Text = Text.substr(0, Before);
        }
        int Index = 0;
        if (TryStrToInt(Trim(Number), Index)) {
            FIconIndex = Index;
            FIconFile = Text;
        }
    }
    if (!FIconFile.empty()) {
        HICON Large = nullptr, Small = nullptr;
        if (ExtractIconExA(FIconFile.c_str(), FIconIndex, &Large, &Small, 1) > 0) {
            FLargeIcon->SetHandle(Large);
            FSmallIcon->SetHandle(Small);
        }
    }
    if (FLargeIcon->Empty() && FSmallIcon->Empty())
        ExtractShellIcon(SameText(FExtension, ".exe") ? 2 : 0, FLargeIcon, FSmallIcon);
    return Found;
}

bool TabfFileAssociation::Save() {
    if (Busy() || FExtension.empty())
        return false;
    if (FExtension[0] != '.')
        FExtension = "." + FExtension;
    if (FExtDescription.empty())
        FExtDescription = FExtension.substr(1) + "file";
    TOwned<TRegistry> Reg(Create<TRegistry>());
    Reg->SetRootKey(HKEY_CLASSES_ROOT);
    if (!WriteDefault(Reg.get(), FExtension, FExtDescription) ||
        !WriteDefault(Reg.get(), FExtDescription, FFileDescription))
        return false;
    if (!FIconFile.empty() &&
        !WriteDefault(Reg.get(), FExtDescription + "\\DefaultIcon", FIconFile + "," + IntToStr(FIconIndex)))
        return false;
    for (int V = 0; V < VerbCount; ++V) {
        if (FCommands[V].empty())
            continue;
        std::string Key = FExtDescription + "\\" + VerbKeys[V];
        if (!WriteDefault(Reg.get(), Key, FDescriptions[V]) || !WriteDefault(Reg.get(), Key + "\\command", FCommands[V]))
            return false;
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return true;
}

bool TabfFileAssociation::Remove() {
    if (Busy())
        return false;
    if (!FExtension.empty() && FExtension[0] != '.')
        FExtension = "." + FExtension;
    TOwned<TRegistry> Reg(Create<TRegistry>());
    Reg->SetRootKey(HKEY_CLASSES_ROOT);
    if (FExtension.empty() || !Reg->OpenKey(FExtension, false))
        return true;
    Reg->CloseKey();
    bool Deleted = Reg->DeleteKey(FExtension);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    Refresh();
    return Deleted;
}
