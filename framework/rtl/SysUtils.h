// Exceptions and the run-time library's general routines: strings and conversions, Format, format
// settings, file names and files, platform globals. The date routines are in DateUtils.h (included
// at the end), resource strings in ResStrings.h.
//
// Strings are 8-bit in the system's ANSI code page (std::string) or UTF-16 (std::wstring). String
// positions count from 1 and 0 means "not found", as the Parts write them.
#pragma once

#include "ResStrings.h"
#include "System.h"

#include <bitset>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <source_location>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// windows.h turns these names into its own ANSI entry points; the framework's routines of the same
// names take their place from here on (call DeleteFileA / GetEnvironmentVariableA for the platform's).
#undef DeleteFile
#undef GetEnvironmentVariable

// ---------------------------------------------------------------------------------------------
// Format arguments: one typed value per argument, built implicitly, so that
//   Format("%s: %d", {Name, Count})
// checks each argument against its conversion at run time. Strings are referenced, not copied:
// a TVarRec lives only as long as the full expression that built it.

enum TVarRecType : Byte {
    vtInteger, vtBoolean, vtChar, vtExtended, vtPointer, vtWideChar, vtAnsiString, vtWideString, vtInt64
};

struct TVarRec {
    TVarRecType VType;
    union {
        LongInt VInteger;
        bool VBoolean;
        char VChar;
        wchar_t VWideChar;
        double VExtended;
        const void* VPointer;
        Int64 VInt64;
    };
    std::string_view VAnsiString;
    std::wstring_view VWideString;

    TVarRec(bool V) : VType(vtBoolean), VBoolean(V) {}
    TVarRec(char V) : VType(vtChar), VChar(V) {}
    TVarRec(wchar_t V) : VType(vtWideChar), VWideChar(V) {}
    TVarRec(float V) : VType(vtExtended), VExtended(V) {}
    TVarRec(double V) : VType(vtExtended), VExtended(V) {}
    TVarRec(long double V) : VType(vtExtended), VExtended(static_cast<double>(V)) {}
    TVarRec(const char* V) : VType(vtAnsiString), VInteger(0), VAnsiString(V ? V : "") {}
    TVarRec(const std::string& V) : VType(vtAnsiString), VInteger(0), VAnsiString(V) {}
    TVarRec(std::string_view V) : VType(vtAnsiString), VInteger(0), VAnsiString(V) {}
    TVarRec(const wchar_t* V) : VType(vtWideString), VInteger(0), VWideString(V ? V : L"") {}
    TVarRec(const std::wstring& V) : VType(vtWideString), VInteger(0), VWideString(V) {}
    TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
    // Every other integer type: 32-bit ones as integers, wider ones as Int64 (so %u and %x see the
    // value's own width, as the platform's 32-bit integers and Int64 do).
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
                                            !std::is_same_v<T, wchar_t>,
                                        int> = 0>
    TVarRec(T V) {
        if constexpr (sizeof(T) < 4 || (sizeof(T) == 4 && std::is_signed_v<T>)) {
            VType = vtInteger;
            VInteger = static_cast<LongInt>(V);
        } else if constexpr (sizeof(T) == 4) {  // unsigned 32-bit: a 32-bit pattern, shown unsigned by %u/%x
            if (V > 0x7FFFFFFFu) {
                VType = vtInt64;
                VInt64 = static_cast<Int64>(V);
            } else {
                VType = vtInteger;
                VInteger = static_cast<LongInt>(V);
            }
        } else {
            VType = vtInt64;
            VInt64 = static_cast<Int64>(V);
        }
    }
    template <class T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
    TVarRec(T V) : VType(vtInteger), VInteger(static_cast<LongInt>(V)) {}
    // Any other pointer: shown by %p.
    template <class T, std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char> && !std::is_same_v<std::remove_cv_t<T>, wchar_t>, int> = 0>
    TVarRec(T* V) : VType(vtPointer), VPointer(V) {}
};

using TVarRecs = std::initializer_list<TVarRec>;

// ---------------------------------------------------------------------------------------------
// Format settings: process-wide and mutable (below), or passed explicitly as a record.

struct TFormatSettings {
    std::string CurrencyString;
    Byte CurrencyFormat = 0;
    Byte NegCurrFormat = 0;
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    Byte CurrencyDecimals = 2;
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string ShortDateFormat;
    std::string LongDateFormat;
    std::string TimeAMString;
    std::string TimePMString;
    std::string ShortTimeFormat;
    std::string LongTimeFormat;
    std::string ShortMonthNames[13];  // [1..12]; [0] unused, so that the Parts' indexes hold
    std::string LongMonthNames[13];
    std::string ShortDayNames[8];  // [1..7], 1 = Sunday
    std::string LongDayNames[8];
    Word TwoDigitYearCenturyWindow = 50;
};

// The settings of a locale (LOCALE_USER_DEFAULT for the user's).
void GetLocaleFormatSettings(LCID Locale, TFormatSettings& Settings);
// Reads the user's locale into the process-wide settings: run at start-up and again when the
// system's settings change (WM_WININICHANGE).
void GetFormatSettings();
// Settings that read and write English texts whatever the user's locale (M/d/yyyy, ".", h:mm:ss AMPM).
TFormatSettings EnglishFormatSettings();

// The process-wide settings: the record (assign it to change them all, copy it to keep them) and its
// fields under the names the Parts use.
extern TFormatSettings FormatSettings;
extern std::string& CurrencyString;
extern Byte& CurrencyFormat;
extern Byte& NegCurrFormat;
extern char& ThousandSeparator;
extern char& DecimalSeparator;
extern Byte& CurrencyDecimals;
extern char& DateSeparator;
extern char& TimeSeparator;
extern char& ListSeparator;
extern std::string& ShortDateFormat;
extern std::string& LongDateFormat;
extern std::string& TimeAMString;
extern std::string& TimePMString;
extern std::string& ShortTimeFormat;
extern std::string& LongTimeFormat;
extern std::string (&ShortMonthNames)[13];
extern std::string (&LongMonthNames)[13];
extern std::string (&ShortDayNames)[8];
extern std::string (&LongDayNames)[8];
extern Word& TwoDigitYearCenturyWindow;

// ---------------------------------------------------------------------------------------------
// Exceptions

// Root of every error the framework and the system raise. Thrown by value, caught as
// `const Exception&`. The constructors are the platform's creators:
//   Exception(Msg)               Create
//   Exception(Fmt, {Args})       CreateFmt
//   Exception(ResString)         CreateRes (a TResStringRec, ResStrings.h)
//   Exception(ResString, {Args}) CreateResFmt
// HelpContext is a plain field (CreateHelp: construct, then set it).
class Exception : public TObject, public std::exception {
    DECLARE_CLASS(Exception, TObject)
public:
    Exception() = default;
    explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
    Exception(const std::string& Fmt, TVarRecs Args);
    explicit Exception(const TResStringRec& Res);
    Exception(const TResStringRec& Res, TVarRecs Args);
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;

    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string Msg) { FMessage = std::move(Msg); }
    const char* what() const noexcept override { return FMessage.c_str(); }
    int HelpContext = 0;

private:
    std::string FMessage;
};

// Declares an exception class with the constructors of its parent.
#define DECLARE_EXCEPTION(E, P)       \
    class E : public P {              \
        DECLARE_CLASS(E, P)           \
    public:                           \
        using P::P;                   \
        E() = default;                \
    }

DECLARE_EXCEPTION(EAbort, Exception);
DECLARE_EXCEPTION(EAbstractError, Exception);
DECLARE_EXCEPTION(EInvalidCast, Exception);
DECLARE_EXCEPTION(EConvertError, Exception);
DECLARE_EXCEPTION(EListError, Exception);
// A list error of the string lists; catching EListError catches it too.
DECLARE_EXCEPTION(EStringListError, EListError);
DECLARE_EXCEPTION(EOutOfResources, Exception);
DECLARE_EXCEPTION(EAssertionFailed, Exception);
DECLARE_EXCEPTION(EInvalidOperation, Exception);
DECLARE_EXCEPTION(EInvalidPointer, Exception);
DECLARE_EXCEPTION(EVariantError, Exception);
DECLARE_EXCEPTION(ERegistryException, Exception);
DECLARE_EXCEPTION(EDatabaseError, Exception);
DECLARE_EXCEPTION(EThread, Exception);
DECLARE_EXCEPTION(EInOutError, Exception);

// A failed system call: the message and the system's error code.
class EOSError : public Exception {
    DECLARE_CLASS(EOSError, Exception)
public:
    using Exception::Exception;
    EOSError() = default;
    DWORD ErrorCode = 0;
};

// The framework's own message texts.
namespace SysConsts {
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SInvalidBoolean = "'%s' is not a valid boolean value";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* SInvalidDateText = "Invalid Date";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SInvalidCast = "Invalid class typecast";
inline constexpr const char* SAbstractError = "Abstract Error";
inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* SOSError = "System Error.  Code: %d.\r\n%s";
inline constexpr const char* SUnkOSError = "A call to an OS function failed";
inline constexpr const char* SAssertionFailed = "Assertion failure";
inline constexpr const char* SAssertError = "%s (%s, line %d)";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SDuplicateItem = "List does not allow duplicates ($0%x)";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SNoTimers = "Not enough timers available";
inline constexpr const char* SInsertLineError = "Unable to insert a line";
inline constexpr const char* SMemoTooLarge = "Text exceeds memo capacity";
inline constexpr const char* SVarTypeCastError = "Invalid variant type conversion";
inline constexpr const char* SVarInvalidOp = "Invalid variant operation";
inline constexpr const char* SVarArrayBounds = "Variant or safe array index out of bounds";
inline constexpr const char* SVarNotArray = "Variant is not an array";
inline constexpr const char* SCannotCreateDir = "Unable to create directory";
}  // namespace SysConsts

// Raises the silent EAbort: the application's handler shows nothing for it.
[[noreturn]] void Abort();
// EOSError for the calling thread's last error (read first) or for the given code.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD LastError);
// RaiseLastOSError when Ok is false; gives Ok back.
bool Win32Check(bool Ok);
// The system's text for an error code, without trailing control characters, blanks and "."; "" when none.
std::string SysErrorMessage(DWORD ErrorCode);
// Raises EAssertionFailed "Msg (file, line n)" ("Assertion failure" when Msg is empty) unless Condition.
void Assert(bool Condition, const std::string& Msg = std::string(),
            std::source_location Where = std::source_location::current());

// ---------------------------------------------------------------------------------------------
// Strings

// Position (from 1) of the first Substr in S; 0 when absent or when Substr is empty.
int Pos(std::string_view Substr, std::string_view S);
int Pos(std::wstring_view Substr, std::wstring_view S);
// Count characters from position Index (from 1); both clamped to the string.
std::string Copy(std::string_view S, int Index, int Count);
std::wstring Copy(std::wstring_view S, int Index, int Count);
// Removes Count characters from Index (from 1); nothing when Index is outside the string.
void Delete(std::string& S, int Index, int Count);
void Delete(std::wstring& S, int Index, int Count);
// Inserts Source before position Index (clamped to 1 .. length + 1).
void Insert(std::string_view Source, std::string& S, int Index);
void Insert(std::wstring_view Source, std::wstring& S, int Index);
// Position of the last character of S that is one of Delimiters; 0 when none.
int LastDelimiter(std::string_view Delimiters, std::string_view S);
std::string StringOfChar(char Ch, int Count);

// Remove characters up to and including the blank (control characters too).
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);
std::wstring Trim(std::wstring_view S);

// ASCII letters only.
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
// The system's letters of the ANSI code page (CharUpperBuffA / CharLowerBuffA).
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);
std::wstring WideUpperCase(std::wstring_view S);
std::wstring WideLowerCase(std::wstring_view S);

// Ordinal comparisons: < 0, 0, > 0. CompareText ignores the case of ASCII letters.
int CompareStr(std::string_view S1, std::string_view S2);
int CompareText(std::string_view S1, std::string_view S2);
bool SameText(std::string_view S1, std::string_view S2);
// The user locale's comparison (CompareStringA) mapped to -1, 0, 1.
int AnsiCompareStr(std::string_view S1, std::string_view S2);
int AnsiCompareText(std::string_view S1, std::string_view S2);
bool AnsiSameStr(std::string_view S1, std::string_view S2);
bool AnsiSameText(std::string_view S1, std::string_view S2);
// The same for UTF-16 (CompareStringW).
int WideCompareStr(std::wstring_view S1, std::wstring_view S2);
int WideCompareText(std::wstring_view S1, std::wstring_view S2);
bool WideSameText(std::wstring_view S1, std::wstring_view S2);
// Position (from 1) of Substr in S, byte-wise; the Ansi name the Parts use.
int AnsiPos(std::string_view Substr, std::string_view S);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
// A set of TReplaceFlag, written {rfReplaceAll, rfIgnoreCase}.
struct TReplaceFlags {
    unsigned Bits = 0;
    TReplaceFlags() = default;
    TReplaceFlags(std::initializer_list<TReplaceFlag> Flags) {
        for (TReplaceFlag F : Flags)
            Bits |= F;
    }
    bool Contains(TReplaceFlag F) const { return (Bits & F) != 0; }
};
// Replaces OldPattern (the first, or every with rfReplaceAll; case-insensitively by the user's
// locale with rfIgnoreCase). Inserted text is never searched again; an empty pattern changes nothing.
std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                          TReplaceFlags Flags);

// 'text' with inner quotes doubled.
std::string QuotedStr(std::string_view S);
std::string AnsiQuotedStr(std::string_view S, char Quote);
// Takes a quoted string from the start of Src: drops the quotes, halves doubled ones, and leaves Src
// after the closing quote (at the end when there is none). Src not starting with Quote: "".
std::string AnsiExtractQuotedStr(std::string_view& Src, char Quote);
// As above on a copy; a string that is not quoted comes back unchanged.
std::string AnsiDequotedStr(std::string_view S, char Quote);

// Code pages (CP_ACP for the system's). AnsiToWide uses MB_PRECOMPOSED, WideToAnsi flags 0.
std::wstring AnsiToWide(std::string_view S, UINT CodePage = CP_ACP);
std::string WideToAnsi(std::wstring_view S, UINT CodePage = CP_ACP);
// The code page of a font character set's texts (the byte of LOGFONT.lfCharSet), as the platform's
// charset lookup gives it; the system's for DEFAULT_CHARSET and any set the lookup does not know.
// 8-bit texts shown in a font are in this code page of its character set: the system draws them so.
UINT CharsetCodePage(Byte Charset);
std::string UTF8Encode(std::wstring_view S);
std::wstring UTF8Decode(std::string_view S);
std::string AnsiToUtf8(std::string_view S);
std::string Utf8ToAnsi(std::string_view S);

// ---------------------------------------------------------------------------------------------
// Format: %[index:][-][width][.prec]type with d u x e f g n m p s (and %%); index, width and
// precision may be "*" (taken from the arguments). Precision on d, u and x is the least number of
// digits ("%0.2d" of 5 is "05"), on s the most characters, on e and g the significant digits
// (15), on f, n and m the decimals (2; CurrencyDecimals for m). x prints upper-case digits.
// An argument of the wrong kind, or a missing one, raises EConvertError.

std::string Format(std::string_view Fmt, TVarRecs Args);
std::string Format(std::string_view Fmt, TVarRecs Args, const TFormatSettings& Settings);
std::string Format(std::string_view Fmt, const TVarRec* Args, std::size_t Count);
std::string Format(std::string_view Fmt, const TVarRec* Args, std::size_t Count, const TFormatSettings& Settings);
// A resource string formatted with the arguments.
std::string FmtLoadStr(int Ident, TVarRecs Args);

// ---------------------------------------------------------------------------------------------
// Numbers and texts

std::string IntToStr(Int64 Value);
// Upper-case hexadecimal digits of a bit pattern, at least Digits of them.
std::string HexDigits(std::uint64_t Bits, int Digits);
// Upper-case hexadecimal with at least Digits digits; negative values as their two's complement of
// the argument's own width (32 bits up to int, 64 for Int64).
template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
std::string IntToHex(T Value, int Digits) {
    if constexpr (sizeof(T) <= 4)
        return HexDigits(static_cast<std::uint32_t>(Value), Digits);
    else
        return HexDigits(static_cast<std::uint64_t>(Value), Digits);
}

// Leading blanks, an optional sign, then decimal digits or "$" and hexadecimal digits, nothing after.
// "0x" is not accepted. Out of range: not a number.
LongInt StrToInt(std::string_view S);
LongInt StrToIntDef(std::string_view S, LongInt Default);
bool TryStrToInt(std::string_view S, LongInt& Value);
Int64 StrToInt64(std::string_view S);
Int64 StrToInt64Def(std::string_view S, Int64 Default);
bool TryStrToInt64(std::string_view S, Int64& Value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
std::string FloatToStr(double Value);
std::string FloatToStr(double Value, const TFormatSettings& Settings);
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits, const TFormatSettings& Settings);
// Picture formats: "0" digit, "#" optional digit, "." decimal point, "," thousands, "E+0"/"E-0"
// exponent, '...' and "..." literals, and up to three ";" sections (positive; negative; zero).
std::string FormatFloat(std::string_view Format, double Value);
std::string FormatFloat(std::string_view Format, double Value, const TFormatSettings& Settings);
// Blanks around, sign, digits with the decimal separator, optional exponent; nothing else.
double StrToFloat(std::string_view S);
double StrToFloat(std::string_view S, const TFormatSettings& Settings);
double StrToFloatDef(std::string_view S, double Default);
bool TryStrToFloat(std::string_view S, double& Value);
bool TryStrToFloat(std::string_view S, double& Value, const TFormatSettings& Settings);

// "-1"/"0" by default, "True"/"False" with UseBoolStrs.
std::string BoolToStr(bool B, bool UseBoolStrs = false);
// "True"/"False" in any case, or any number (non-zero is true).
bool StrToBool(std::string_view S);
bool StrToBoolDef(std::string_view S, bool Default);
bool TryStrToBool(std::string_view S, bool& Value);

// Half to even, as the platform rounds; Trunc toward zero.
Int64 Round(double X);
Int64 Trunc(double X);
double Frac(double X);
double Int(double X);
template <class T>
constexpr T Min(T A, T B) { return A < B ? A : B; }
template <class T>
constexpr T Max(T A, T B) { return A > B ? A : B; }
// MulDiv is the platform's (kernel32): (A * B) / C rounded, -1 on overflow or C = 0.

// ---------------------------------------------------------------------------------------------
// File names and files

constexpr char PathDelim = '\\';
constexpr char DriveDelim = ':';

std::string ExtractFilePath(std::string_view FileName);  // through the last "\" or ":"
std::string ExtractFileDir(std::string_view FileName);   // the same without a trailing "\" (except a root)
std::string ExtractFileName(std::string_view FileName);
std::string ExtractFileExt(std::string_view FileName);   // from the last "." after the last delimiter
std::string ExtractFileDrive(std::string_view FileName);
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
std::string ExpandFileName(std::string_view FileName);   // GetFullPathName
std::string IncludeTrailingPathDelimiter(std::string_view S);
std::string ExcludeTrailingPathDelimiter(std::string_view S);
bool IsPathDelimiter(std::string_view S, int Index);

bool FileExists(std::string_view FileName);  // false for folders and ""
bool DirectoryExists(std::string_view Directory);
bool DeleteFile(std::string_view FileName);
bool RenameFile(std::string_view OldName, std::string_view NewName);
bool CreateDir(std::string_view Dir);
bool RemoveDir(std::string_view Dir);
// Creates Dir with every missing parent; raises EInOutError for "" (nothing to create).
bool ForceDirectories(std::string_view Dir);
std::string GetCurrentDir();
bool SetCurrentDir(std::string_view Dir);
std::string GetEnvironmentVariable(std::string_view Name);

// Handles as integers, -1 on failure. Mode: the fmOpen* | fmShare* values of Classes.h.
int FileCreate(std::string_view FileName);
int FileOpen(std::string_view FileName, LongWord Mode);
void FileClose(int Handle);
int FileRead(int Handle, void* Buffer, LongWord Count);   // bytes read, -1 on failure
int FileWrite(int Handle, const void* Buffer, LongWord Count);
int FileSeek(int Handle, int Offset, int Origin);          // new position, -1 on failure
Int64 FileSeek(int Handle, Int64 Offset, int Origin);
// Date and time of a file's last write as a DOS date-time (local time); -1 when missing.
int FileAge(std::string_view FileName);
int FileGetAttr(std::string_view FileName);                // -1 when missing
int FileSetAttr(std::string_view FileName, int Attr);      // 0 or the system's error code

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

struct TSearchRec {
    int Time = 0;  // DOS date-time, local
    Int64 Size = 0;
    int Attr = 0;
    std::string Name;
    int ExcludeAttr = 0;
    HANDLE FindHandle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA FindData{};
};
// 0 when an entry was found, else the system's error code. Entries carrying an attribute among
// faHidden, faSysFile, faVolumeID, faDirectory that Attr lacks are skipped.
int FindFirst(std::string_view Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// ---------------------------------------------------------------------------------------------
// Program, command line and platform

// The full name of the program file (GetModuleFileName), unless a test has pointed the program's
// folder elsewhere: then that folder plus the program file's own name.
std::string ProgramFileName();
// The seam for tests: a folder (with or without trailing "\") that stands in for the program's own;
// "" puts the real one back.
void SetProgramFolderOverride(std::string_view Folder);
// ParamStr(0) is the program file; the rest split the command line at blanks, with double quotes
// grouping (and dropped).
int ParamCount();
std::string ParamStr(int Index);
namespace SysUtilsDetail {
// The parameters of a command line as ParamStr splits it, the program's own token first.
std::vector<std::string> SplitCommandLine(std::string_view CommandLine);

// The StrToX and StrToXDef forms of a TryStrToX conversion Try(S, Value): the value, or
// EConvertError with Message naming the text / the default.
template <class T, class F>
T ConvertedOrRaise(std::string_view S, F Try, const char* Message);
template <class T, class F>
T ConvertedOr(std::string_view S, F Try, T Default) {
    T Value;
    return Try(S, Value) ? Value : Default;
}
}  // namespace SysUtilsDetail

// Read once at start-up (and again by GetFormatSettings' unit start-up, harmlessly).
// A set of 8-bit characters made from the characters of Chars (the string and skin units' sets).
std::bitset<256> MakeCharSet(std::string_view Chars);

extern int Win32Platform;
// The NT-family flag that the archive layer and the component set both publish and both set at their
// start-up from the same platform value; defined once here so that the two units share one variable.
extern bool IsWinNT;
extern int Win32MajorVersion;
extern int Win32MinorVersion;
extern int Win32BuildNumber;
extern std::string Win32CSDVersion;
struct TSysLocale {
    LCID DefaultLCID = 0;
    int PriLangID = 0;
    int SubLangID = 0;
    bool FarEast = false;
    bool MiddleEast = false;
};
extern TSysLocale SysLocale;

// The unit's start-up work for the program's unit table: platform globals and format settings.
void SysUtilsInitialization();

template <class T, class F>
T SysUtilsDetail::ConvertedOrRaise(std::string_view S, F Try, const char* Message) {
    T Value;
    if (!Try(S, Value))
        throw EConvertError(Message, {S});
    return Value;
}

#include "DateUtils.h"
