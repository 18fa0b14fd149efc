// Component streaming: the binary component stream ("TPF0", framework.md 1.13), its reader and
// writer, the fix-ups of references, and the converter between it and text form files.
// Included by Classes.h.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Value types, numbered as the format fixes them.
DECLARE_ENUM(TValueType, vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
             vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64,
             vaUTF8String)

// Component prefix flags (0xF0 | flags before the class name).
DECLARE_ENUM(TFilerFlag, ffInherited, ffChildPos, ffInline)
DECLARE_SET(TFilerFlags, TFilerFlag)

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

// What readers and writers share: the stream, the root, the ancestor, and the defined properties.
class TFiler : public TObject {
    DECLARE_CLASS(TFiler, TObject)
public:
    explicit TFiler(TStream* Stream) : FStream(Stream) {}
    TStream* Stream() const { return FStream; }
    TComponent* Root() const { return FRoot; }
    virtual void SetRoot(TComponent* Value) { FRoot = Value; }
    TComponent* LookupRoot() const { return FLookupRoot; }
    // The ancestor's corresponding object while an inherited form is written (null otherwise; the
    // reader never has one).
    TPersistent* Ancestor() const { return FAncestor; }
    void SetAncestor(TPersistent* Value) { FAncestor = Value; }
    bool IgnoreChildren = false;

    // Inside DefineProperties: a property Name read by ReadData from the reader's values and
    // written, when HasData, by WriteData.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // A binary property: ReadData gets a stream holding exactly the payload; WriteData writes it.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

protected:
    TStream* FStream;
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
    TPersistent* FAncestor = nullptr;
};

// Reads the binary component stream from the stream's position on. Errors name the offset.
class TReader : public TFiler {
    DECLARE_CLASS(TReader, TFiler)
public:
    explicit TReader(TStream* Stream, int BufSize = 4096);
    ~TReader() override;

    // The root: into Root when given (the form's constructor, ReadComponent into an instance),
    // else a new component of the registered class the stream names. Sets csLoading/csReading,
    // reads properties and children, fixes references, calls Loaded on every component read (root
    // first, in read order), then resolves references that waited for this root.
    TComponent* ReadRootComponent(TComponent* Root);
    // One component (Component may be an existing one to read into), owned by Owner.
    TComponent* ReadComponent(TComponent* Component);
    void ReadSignature();
    void ReadPrefix(TFilerFlags& Flags, int& AChildPos);
    // Properties then children of Instance (the body of TComponent::ReadState).
    void ReadData(TComponent* Instance);
    void ReadProperty(TPersistent* Instance);
    void ReadCollection(TCollection* Collection);

    TComponent* Owner() const { return FOwner; }
    void SetOwner(TComponent* Value) { FOwner = Value; }
    TComponent* Parent() const { return FParent; }
    void SetParent(TComponent* Value) { FParent = Value; }

    // Values
    TValueType NextValue();
    TValueType ReadValue();
    void CheckValue(TValueType Value);
    bool EndOfList();
    void ReadListBegin();
    void ReadListEnd();
    LongInt ReadInteger();
    Int64 ReadInt64();
    bool ReadBoolean();
    char ReadChar();
    long double ReadFloat();
    float ReadSingle();
    Int64 ReadCurrency();  // scaled by 10000
    double ReadDate();
    // Any string value; wide ones become 8-bit, and 8-bit ones wide, through TextCodePage.
    std::string ReadString();
    std::wstring ReadWideString();
    // The code page of the 8-bit texts read: a root component's resource sets it to that of the
    // root's font character set ("Font.Charset" among its properties), else the system's.
    UINT TextCodePage() const { return FTextCodePage; }
    void SetTextCodePage(UINT Value) { FTextCodePage = Value; }
    std::string ReadIdent();        // vaIdent, vaNil "nil", vaFalse "False", vaTrue "True", vaNull "Null"
    std::string ReadStr();          // a short string (length byte, bytes)
    std::string ReadCounted(int UnitSize);  // a 32-bit count of units, then the units' bytes
    void SkipValue();
    void Read(void* Buf, LongInt Count);
    Int64 Position() const { return FPosition; }

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // Raises EReadError (or the given class) with the message and the current offset.
    [[noreturn]] void Error(const std::string& Message);

private:
    void ReadPropValue(TPersistent* Instance, PPropInfo Prop);
    void ReadDataInner(TComponent* Instance);
    std::string FindUniqueName(const std::string& Name);
    void DoFixupReferences();
    UINT RootTextCodePage();

    UINT FTextCodePage = CP_ACP;
    Int64 FStart = 0;
    Int64 FPosition = 0;
    Int64 FSize = 0;
    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    std::vector<TComponent*> FLoaded;
    struct TFixup;
    std::vector<TFixup>* FFixups = nullptr;
    std::string FPropName;  // the defined property looked for by DefineProperty
    bool FCanHandleExcepts = false;
    bool FPropFound = false;
};

// Writes the binary component stream. Published properties in stream order (ancestors' first),
// only stored ones and not at their default (or equal to the ancestor's), then the defined ones.
class TWriter : public TFiler {
    DECLARE_CLASS(TWriter, TFiler)
public:
    explicit TWriter(TStream* Stream, int BufSize = 4096);
    ~TWriter() override;

    void WriteRootComponent(TComponent* Root);
    void WriteDescendent(TComponent* Root, TComponent* AAncestor);
    void WriteComponent(TComponent* Component);
    void WriteSignature();
    void WritePrefix(TFilerFlags Flags, int AChildPos);
    void WriteProperties(TPersistent* Instance);
    void WriteProperty(TPersistent* Instance, PPropInfo Prop);
    void WriteCollection(TCollection* Value);

    void WriteValue(TValueType Value);
    void WriteListBegin();
    void WriteListEnd();
    void WriteInteger(LongInt Value);
    void WriteInteger(Int64 Value);
    void WriteBoolean(bool Value);
    void WriteChar(char Value);
    void WriteFloat(long double Value);
    void WriteSingle(float Value);
    void WriteCurrency(Int64 Scaled);
    void WriteDate(double Value);
    void WriteString(const std::string& Value);       // vaString / vaLString by length
    void WriteWideString(const std::wstring& Value);  // 8-bit when ASCII, else vaWString
    void WriteIdent(const std::string& Ident);        // vaIdent, or vaNil/vaFalse/vaTrue/vaNull
    void WriteStr(const std::string& Value);          // short string
    void WriteBinaryValue(const void* Data, LongInt Count);
    void Write(const void* Buf, LongInt Count) { FStream->WriteBuffer(Buf, Count); }
    void FlushBuffer() {}

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;
    void SetRoot(TComponent* Value) override;

private:
    void WritePropName(const std::string& Name);
    std::string ComponentRefName(TComponent* Value);
    std::string FPropPath;
    TComponent* FRootAncestor = nullptr;
};

// The global fix-up list: references to roots not read yet ("frmSetting.siLangDispatcher").
// Resolved whenever a root finishes reading; also callable by the forms code.
void GlobalFixupReferences();
// Names of roots that references still wait for (tests and diagnostics).
std::vector<std::string> PendingGlobalFixupRoots();

// Reads the form resource of a class into Instance: the RCDATA resource named by the class name in
// upper case in the main module; false when there is none. Forms and data modules call it from
// their constructors (for each class from TComponent's first descendant down, as inherited forms
// need), then their OnCreate.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
bool ReadComponentResource(TComponent* Instance, TClass Class, HINSTANCE Module = nullptr);

// The converter between the binary component stream and text form files. Errors in text name
// the line ("... on line %d"); errors in binary name the offset.
void ObjectTextToBinary(TStream* Input, TStream* Output);
void ObjectBinaryToText(TStream* Input, TStream* Output);
std::string ObjectBinaryToText(const std::string& Binary);
std::string ObjectTextToBinary(const std::string& Text);
