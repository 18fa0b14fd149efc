// The field kinds and their native buffer formats (what GetFieldData fills and SetFieldData takes,
// what an in-memory table copies byte for byte). Included by DB.h.
//
//   kind                                  DataType                    native value (DataSize bytes)
//   TStringField, TGuidField              ftString, ftFixedChar, ftGuid   Size + 1 chars, zero-terminated
//   TWideStringField                      ftWideString                2 x Size + 2, UTF-16, zero-terminated
//   TSmallintField, TWordField            ftSmallint, ftWord          2 (signed / unsigned)
//   TBooleanField                         ftBoolean                   2 (16-bit: 0 false, non-zero true)
//   TIntegerField, TAutoIncField          ftInteger, ftAutoInc        4 (signed)
//   TLargeintField                        ftLargeint                  8 (signed)
//   TFloatField, TCurrencyField           ftFloat, ftCurrency         8 (double)
//   TBCDField                             ftBCD                       34 (TBcd)
//   TDateField                            ftDate                      4: days, 0001-01-01 = 1
//   TTimeField                            ftTime                      4: milliseconds of the day
//   TDateTimeField                        ftDateTime                  8: double, milliseconds since 0001-01-01
//   TBytesField                           ftBytes                     Size
//   TVarBytesField                        ftVarBytes                  Size + 2 (16-bit length, then the bytes)
//   TBlobField, TMemoField, TGraphicField ftBlob, ftMemo, ftGraphic .. none: through CreateBlobStream
#pragma once

#include <string>

// A binary-coded decimal as the native BCD value: digits as nibbles (high nibble first), the sign
// in bit 7 and the count of decimals in bits 0..5 of SignSpecialPlaces.
struct TBcd {
    Byte Precision = 0;
    Byte SignSpecialPlaces = 0;
    Byte Fraction[32] = {};
};
static_assert(sizeof(TBcd) == 34);

// Currency (value x 10,000) to BCD and back; BcdToCurr raises EOverflow-like EDatabaseError "BCD
// overflow" when the value does not fit.
TBcd CurrToBcd(Int64 Curr, int Precision = 32, int Decimals = 4);
Int64 BcdToCurr(const TBcd& Bcd);
std::string BcdToStr(const TBcd& Bcd);
// Currency values as text with the decimal separator, the decimals the value has (at most 4).
std::string CurrToStr(Int64 Curr);
Int64 StrToCurr(const std::string& S);  // raises EConvertError

class TStringField : public TField {
    DECLARE_CLASS(TStringField, TField)
public:
    explicit TStringField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TStringField>& B);
    int DataSize() const override { return Size() + 1; }
    bool FixedChar() const { return FFixedChar; }
    void SetFixedChar(bool Value);
    std::string Value() const { return GetAsString(); }

protected:
    void CheckTypeSize(int Value) override;
    int GetDefaultWidth() const override { return Size(); }
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    LongInt GetAsInteger() const override;
    void SetAsIntegerValue(LongInt Value) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double Value) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool Value) override;
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    // Reads the text; false when null.
    bool GetValue(std::string& Value) const;

private:
    bool FFixedChar = false;
};

class TWideStringField : public TStringField {
    DECLARE_CLASS(TWideStringField, TStringField)
public:
    explicit TWideStringField(TComponent* AOwner);
    int DataSize() const override { return 2 * Size() + 2; }
    std::wstring AsWideString() const;
    void SetAsWideString(const std::wstring& Value);

protected:
    std::string GetAsString() const override;  // through the system's code page
    void SetAsStringValue(const std::string& Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
};

class TGuidField : public TStringField {
    DECLARE_CLASS(TGuidField, TStringField)
public:
    explicit TGuidField(TComponent* AOwner);

protected:
    void CheckTypeSize(int Value) override;
};

// Numbers: right-aligned, with optional display and edit formats (FormatFloat pictures).
class TNumericField : public TField {
    DECLARE_CLASS(TNumericField, TField)
public:
    explicit TNumericField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TNumericField>& B);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    const std::string& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const std::string& Value);

protected:
    void RangeError(const std::string& Value, const std::string& Min, const std::string& Max) const;
    // The picture for DisplayText or the edit text ("" for none).
    const std::string& TextFormat(bool DisplayText) const;
    // An empty text clears the value (true); a number follows otherwise.
    bool ClearIfEmpty(const std::string& Value);

private:
    std::string FDisplayFormat;
    std::string FEditFormat;
};

// 32-bit integers (and the 16-bit kinds below), with an optional range (0, 0 = the type's range).
class TIntegerField : public TNumericField {
    DECLARE_CLASS(TIntegerField, TNumericField)
public:
    explicit TIntegerField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TIntegerField>& B);
    int DataSize() const override { return 4; }
    LongInt MinValue() const { return FMinValue; }
    void SetMinValue(LongInt Value) { FMinValue = Value; }
    LongInt MaxValue() const { return FMaxValue; }
    void SetMaxValue(LongInt Value) { FMaxValue = Value; }
    LongInt Value() const { return GetAsInteger(); }

protected:
    int GetDefaultWidth() const override { return 11; }
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    LongInt GetAsInteger() const override;
    void SetAsIntegerValue(LongInt Value) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double Value) override;
    Int64 GetAsLargeInt() const override { return GetAsInteger(); }
    void SetAsLargeIntValue(Int64 Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    void GetText(std::string& Text, bool DisplayText) const override;
    // The stored value; false when null. 16-bit kinds override both.
    virtual bool GetValue(LongInt& Value) const;
    virtual void SetValue32(LongInt Value);
    // The type's own range, before MinValue/MaxValue narrow it.
    LongInt FTypeMin = INT32_MIN;
    LongInt FTypeMax = INT32_MAX;

private:
    void CheckRange(LongInt Value) const;
    LongInt FMinValue = 0;
    LongInt FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
    DECLARE_CLASS(TSmallintField, TIntegerField)
public:
    explicit TSmallintField(TComponent* AOwner);
    int DataSize() const override { return 2; }

protected:
    int GetDefaultWidth() const override { return 6; }
    bool GetValue(LongInt& Value) const override;
    void SetValue32(LongInt Value) override;
};

class TWordField : public TIntegerField {
    DECLARE_CLASS(TWordField, TIntegerField)
public:
    explicit TWordField(TComponent* AOwner);
    int DataSize() const override { return 2; }

protected:
    int GetDefaultWidth() const override { return 5; }
    bool GetValue(LongInt& Value) const override;
    void SetValue32(LongInt Value) override;
};

class TAutoIncField : public TIntegerField {
    DECLARE_CLASS(TAutoIncField, TIntegerField)
public:
    explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TNumericField {
    DECLARE_CLASS(TLargeintField, TNumericField)
public:
    explicit TLargeintField(TComponent* AOwner);
    int DataSize() const override { return 8; }
    Int64 Value() const { return GetAsLargeInt(); }

protected:
    int GetDefaultWidth() const override { return 15; }
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    LongInt GetAsInteger() const override;
    void SetAsIntegerValue(LongInt Value) override { SetAsLargeIntValue(Value); }
    double GetAsFloat() const override { return static_cast<double>(GetAsLargeInt()); }
    void SetAsFloatValue(double Value) override;
    Int64 GetAsLargeInt() const override;
    void SetAsLargeIntValue(Int64 Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    void GetText(std::string& Text, bool DisplayText) const override;
};

class TFloatField : public TNumericField {
    DECLARE_CLASS(TFloatField, TNumericField)
public:
    explicit TFloatField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TFloatField>& B);
    int DataSize() const override { return 8; }
    // Shown as money (ffCurrency) when no display format is set.
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value) { FMinValue = Value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value) { FMaxValue = Value; }
    double Value() const { return GetAsFloat(); }

protected:
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    LongInt GetAsInteger() const override;
    void SetAsIntegerValue(LongInt Value) override { SetAsFloatValue(Value); }
    double GetAsFloat() const override;
    void SetAsFloatValue(double Value) override;
    Int64 GetAsCurrency() const override;
    void SetAsCurrencyValue(Int64 Value) override { SetAsFloatValue(static_cast<double>(Value) / 10000.0); }
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    void GetText(std::string& Text, bool DisplayText) const override;

private:
    bool FCurrency = false;
    int FPrecision = 15;
    double FMinValue = 0;
    double FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
    DECLARE_CLASS(TCurrencyField, TFloatField)
public:
    explicit TCurrencyField(TComponent* AOwner);
};

// BCD numbers (money, decimal and numeric columns): the value as currency (x 10,000).
class TBCDField : public TNumericField {
    DECLARE_CLASS(TBCDField, TNumericField)
public:
    explicit TBCDField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TBCDField>& B);
    int DataSize() const override { return sizeof(TBcd); }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value) { FCurrency = Value; }

protected:
    void CheckTypeSize(int Value) override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    LongInt GetAsInteger() const override;
    void SetAsIntegerValue(LongInt Value) override { SetAsCurrencyValue(Int64(Value) * 10000); }
    double GetAsFloat() const override { return static_cast<double>(GetAsCurrency()) / 10000.0; }
    void SetAsFloatValue(double Value) override;
    Int64 GetAsCurrency() const override;
    void SetAsCurrencyValue(Int64 Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    void GetText(std::string& Text, bool DisplayText) const override;

private:
    bool GetValue(Int64& Value) const;
    int FPrecision = 0;
    bool FCurrency = false;
};

// Booleans: DisplayValues "True;False" names the two texts (shown, and accepted case-insensitively
// with their leading part).
class TBooleanField : public TField {
    DECLARE_CLASS(TBooleanField, TField)
public:
    explicit TBooleanField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TBooleanField>& B);
    int DataSize() const override { return 2; }
    const std::string& DisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const std::string& Value);
    bool Value() const { return GetAsBoolean(); }

protected:
    int GetDefaultWidth() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool Value) override;
    LongInt GetAsInteger() const override { return GetAsBoolean() ? 1 : 0; }
    void SetAsIntegerValue(LongInt Value) override { SetAsBooleanValue(Value != 0); }
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;

private:
    std::string FDisplayValues;
    std::string FTextValues[2];  // [false], [true]
};

// Dates and times, shown with DateTimeToStr (dates with the short date, times with the long time)
// unless DisplayFormat is set; a null shows "".
class TDateTimeField : public TField {
    DECLARE_CLASS(TDateTimeField, TField)
public:
    explicit TDateTimeField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TDateTimeField>& B);
    int DataSize() const override { return 8; }
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    TDateTime Value() const { return GetAsDateTime(); }

protected:
    int GetDefaultWidth() const override { return 18; }
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    double GetAsFloat() const override { return GetAsDateTime(); }
    void SetAsFloatValue(double Value) override { SetAsDateTimeValue(Value); }
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    void GetText(std::string& Text, bool DisplayText) const override;
    // The value of the native buffer, and the native buffer of a value (kind by DataType).
    bool GetValue(TDateTime& Value) const;
    virtual std::string DefaultFormat() const { return "c"; }

private:
    std::string FDisplayFormat;
};

class TDateField : public TDateTimeField {
    DECLARE_CLASS(TDateField, TDateTimeField)
public:
    explicit TDateField(TComponent* AOwner);
    int DataSize() const override { return 4; }

protected:
    int GetDefaultWidth() const override { return 10; }
    std::string DefaultFormat() const override { return "ddddd"; }
};

class TTimeField : public TDateTimeField {
    DECLARE_CLASS(TTimeField, TDateTimeField)
public:
    explicit TTimeField(TComponent* AOwner);
    int DataSize() const override { return 4; }

protected:
    int GetDefaultWidth() const override { return 10; }
    std::string DefaultFormat() const override { return "tt"; }
};

// Fixed and variable binary values; AsString gives the bytes as they are.
class TBinaryField : public TField {
    DECLARE_CLASS(TBinaryField, TField)
public:
    explicit TBinaryField(TComponent* AOwner);

protected:
    void CheckTypeSize(int Value) override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    void GetText(std::string& Text, bool DisplayText) const override;
    // The value's bytes; false when null.
    virtual bool GetBytes(std::string& Bytes) const;
    virtual void SetBytes(const std::string& Bytes);
};

class TBytesField : public TBinaryField {
    DECLARE_CLASS(TBytesField, TBinaryField)
public:
    explicit TBytesField(TComponent* AOwner);
    int DataSize() const override { return Size(); }
};

class TVarBytesField : public TBinaryField {
    DECLARE_CLASS(TVarBytesField, TBinaryField)
public:
    explicit TVarBytesField(TComponent* AOwner);
    int DataSize() const override { return Size() + 2; }

protected:
    bool GetBytes(std::string& Bytes) const override;
    void SetBytes(const std::string& Bytes) override;
};

// Binary large objects, read and written through the data set's blob streams.
class TBlobField : public TField {
    DECLARE_CLASS(TBlobField, TField)
public:
    explicit TBlobField(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TBlobField>& B);
    bool IsBlob() const override { return true; }
    TFieldType BlobType() const { return DataType(); }
    void SetBlobType(TFieldType Value);
    // Set by a written blob stream when it is freed; cleared when the record is left.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    int BlobSize() const;
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    void Clear() override;
    // Leaving the record: a blob changed through a stream is closed at its data set (which throws a
    // change away that was not posted).
    void FreeBuffers() override;

protected:
    int GetDefaultWidth() const override { return 10; }
    bool GetIsNull() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& Value) override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& Value) override;
    void GetText(std::string& Text, bool DisplayText) const override;

private:
    bool FModified = false;
};

// Text blobs: DisplayText is "(MEMO)" ("(memo)" when empty) as grids show them; AsString the text.
class TMemoField : public TBlobField {
    DECLARE_CLASS(TMemoField, TBlobField)
public:
    explicit TMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
    DECLARE_CLASS(TGraphicField, TBlobField)
public:
    explicit TGraphicField(TComponent* AOwner);
};

// A field made of fields (ftADT): its children are the fields of its child definitions, read and
// written in the same record as fields of their own. Null while every child is null; its text is
// "(ADT)", as grids show it.
class TObjectField : public TField {
    DECLARE_CLASS(TObjectField, TField)
public:
    explicit TObjectField(TComponent* AOwner);
    ~TObjectField() override;
    TFields* Fields() const { return FFields.get(); }
    int FieldCount() const { return FFields->Count(); }
    // Takes Field as its child (it leaves any other parent or data set).
    void AddChild(TField* Field);

protected:
    bool GetIsNull() const override;

private:
    std::unique_ptr<TFields> FFields;
};

class TADTField : public TObjectField {
    DECLARE_CLASS(TADTField, TObjectField)
public:
    explicit TADTField(TComponent* AOwner);
};

// The field class for each field type (null where there is none: the object and interface types).
TFieldClass DefaultFieldClass(TFieldType FieldType);
// Field types by name, as form files write them ("ftString").
std::string FieldTypeName(TFieldType FieldType);
