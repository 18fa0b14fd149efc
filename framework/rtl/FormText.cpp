// The converter between the binary component stream and text form files:
//
//   object frmMain: TfrmMain                 (inherited / inline; "[n]" after the class: child position)
//     Caption = 'Main'#13#10'window'          strings: quoted printable ASCII, #n for any other unit
//     Font.Name = 'Verdana'                  nested objects by dotted names
//     Left = 192                             integers; floats 1.5 (s: single, c: currency, d: date)
//     Options = [goEditing, goTabs]          sets; identifiers (enumerations, references, events)
//     Lines.Strings = (                      lists
//       'one'
//       'two')
//     Columns = <                            collections
//       item
//         Title.Caption = 'x'
//       end>
//     TranslationData = {                    binary data, 32 bytes a line in hexadecimal
//       0A0B}
//     object Button1: TButton
//     end
//   end
//
// 8-bit strings keep their bytes (#n up to 255); a string with a unit above 255, or with a #$hhhh
// code of four hex digits, is a wide string.
#include "Classes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// ---------------------------------------------------------------------------------------------
// Binary to text

std::string Indent(int Level) { return std::string(static_cast<size_t>(Level) * 2, ' '); }

template <class Unit>
std::string Quoted(const std::basic_string<Unit>& S) {
    if (S.empty())
        return "''";
    std::string R;
    bool InQuote = false;
    for (Unit U : S) {
        unsigned V = static_cast<unsigned>(static_cast<std::make_unsigned_t<Unit>>(U));
        if (V >= 32 && V < 127) {
            if (!InQuote) {
                R += '\'';
                InQuote = true;
            }
            R += static_cast<char>(V);
            if (V == '\'')
                R += '\'';
        } else {
            if (InQuote) {
                R += '\'';
                InQuote = false;
            }
            if (sizeof(Unit) > 1 && V >= 128 && V <= 255) {
                // A wide character that would read back as a byte: four hex digits mark it wide.
                char Buf[8];
                std::snprintf(Buf, sizeof Buf, "#$%04X", V);
                R += Buf;
            } else
                R += '#' + std::to_string(V);
        }
    }
    if (InQuote)
        R += '\'';
    return R;
}

// The shortest text that reads back to the same value.
template <class F>
std::string FloatText(F Value, int MaxDigits) {
    char Buf[64];
    for (int P = 1; P <= MaxDigits; ++P) {
        std::snprintf(Buf, sizeof Buf, "%.*Lg", P, static_cast<long double>(Value));
        F Back = static_cast<F>(std::strtold(Buf, nullptr));
        if (std::memcmp(&Back, &Value, sizeof(F) == 12 ? 10 : sizeof(F)) == 0)
            break;
    }
    std::string S = Buf;
    if (S.find_first_of(".eEn") == std::string::npos)  // "2" would read back as an integer
        S += ".0";
    return S;
}

class TBinaryToText {
public:
    TBinaryToText(TStream* In, std::string& Out) : R(In), Out(Out) {}

    void Run() {
        R.ReadSignature();
        ConvertObject(0);
    }

private:
    TReader R;
    std::string& Out;

    void ConvertObject(int Level) {
        TFilerFlags Flags;
        int Pos;
        R.ReadPrefix(Flags, Pos);
        std::string Class = R.ReadStr();
        std::string Name = R.ReadStr();
        Out += Indent(Level);
        Out += Flags.Contains(ffInherited) ? "inherited " : Flags.Contains(ffInline) ? "inline " : "object ";
        if (!Name.empty())
            Out += Name + ": ";
        Out += Class;
        if (Flags.Contains(ffChildPos))
            Out += " [" + std::to_string(Pos) + "]";
        Out += "\r\n";
        while (!R.EndOfList())
            ConvertProperty(Level + 1);
        R.ReadListEnd();
        while (!R.EndOfList())
            ConvertObject(Level + 1);
        R.ReadListEnd();
        Out += Indent(Level) + "end\r\n";
    }

    void ConvertProperty(int Level) {
        std::string Name = R.ReadStr();
        Out += Indent(Level) + Name + " = ";
        ConvertValue(Level);
        Out += "\r\n";
    }

    void ConvertValue(int Level) {
        static const char Hex[] = "0123456789ABCDEF";
        switch (R.NextValue()) {
        case vaList:
            R.ReadValue();
            Out += "(";
            while (!R.EndOfList()) {
                Out += "\r\n" + Indent(Level + 1);
                ConvertValue(Level + 1);
            }
            R.ReadListEnd();
            Out += ")";
            break;
        case vaInt8:
        case vaInt16:
        case vaInt32:
            Out += std::to_string(R.ReadInteger());
            break;
        case vaInt64:
            Out += std::to_string(R.ReadInt64());
            break;
        case vaExtended:
            Out += FloatText(R.ReadFloat(), 21);
            break;
        case vaSingle:
            Out += FloatText(R.ReadSingle(), 9) + "s";
            break;
        case vaCurrency: {
            Int64 C = R.ReadCurrency();
            bool Neg = C < 0;
            std::uint64_t A = Neg ? 0 - static_cast<std::uint64_t>(C) : static_cast<std::uint64_t>(C);
            std::string S = std::to_string(A / 10000);
            std::string F = std::to_string(10000 + A % 10000).substr(1);
            while (!F.empty() && F.back() == '0')
                F.pop_back();
            Out += (Neg ? "-" : "") + S + "." + (F.empty() ? "0" : F) + "c";
            break;
        }
        case vaDate:
            Out += FloatText(R.ReadDate(), 17) + "d";
            break;
        case vaString:
        case vaLString: {
            std::string S = R.ReadString();
            Out += Quoted(S);
            break;
        }
        case vaWString:
        case vaUTF8String:
            Out += Quoted(R.ReadWideString());
            break;
        case vaIdent:
        case vaFalse:
        case vaTrue:
        case vaNil:
        case vaNull:
            Out += R.ReadIdent();
            break;
        case vaBinary: {
            R.ReadValue();
            std::string Data = R.ReadCounted(1);
            Out += "{";
            for (size_t I = 0; I < Data.size(); I += 32) {
                Out += "\r\n" + Indent(Level + 1);
                for (size_t J = I; J < I + 32 && J < Data.size(); ++J) {
                    unsigned char B = static_cast<unsigned char>(Data[J]);
                    Out += Hex[B >> 4];
                    Out += Hex[B & 15];
                }
            }
            Out += "}";
            break;
        }
        case vaSet: {
            R.ReadValue();
            Out += "[";
            bool First = true;
            for (;;) {
                std::string S = R.ReadStr();
                if (S.empty())
                    break;
                if (!First)
                    Out += ", ";
                Out += S;
                First = false;
            }
            Out += "]";
            break;
        }
        case vaCollection:
            R.ReadValue();
            Out += "<";
            while (!R.EndOfList()) {
                Out += "\r\n" + Indent(Level + 1) + "item";
                TValueType V = R.NextValue();
                if (V == vaInt8 || V == vaInt16 || V == vaInt32)
                    Out += " [" + std::to_string(R.ReadInteger()) + "]";
                Out += "\r\n";
                R.ReadListBegin();
                while (!R.EndOfList())
                    ConvertProperty(Level + 2);
                R.ReadListEnd();
                Out += Indent(Level + 1) + "end";
            }
            R.ReadListEnd();
            Out += ">";
            break;
        default:
            R.ReadValue();  // raises for an unknown type byte
            R.Error("Invalid property value");
        }
    }
};

// ---------------------------------------------------------------------------------------------
// Text to binary

enum TToken { tEOF, tSymbol, tIdent, tString, tInteger, tFloat, tBinary };

class TTextToBinary {
public:
    TTextToBinary(const std::string& Text, TStream* Out) : S(Text), W(Out, 4096) {}

    void Run() {
        Next();
        W.WriteSignature();
        ParseObject();
        if (Tok != tEOF)
            Error("End of file expected");
    }

private:
    const std::string& S;
    TWriter W;
    size_t P = 0;
    int Line = 1;
    int TokLine = 1;
    TToken Tok = tEOF;
    char Sym = 0;
    std::string Ident;
    std::wstring Str;
    bool StrWide = false;
    Int64 Int = 0;
    std::string Num;
    char Suffix = 0;
    std::string Bin;

    [[noreturn]] void Error(const std::string& What) {
        throw EParserError(What + " on line " + std::to_string(TokLine));
    }

    static bool IsIdentStart(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_'; }
    static bool IsDigit(char C) { return C >= '0' && C <= '9'; }
    static int HexValue(char C) {
        if (C >= '0' && C <= '9')
            return C - '0';
        if (C >= 'a' && C <= 'f')
            return C - 'a' + 10;
        if (C >= 'A' && C <= 'F')
            return C - 'A' + 10;
        return -1;
    }

    void SkipBlanks() {
        while (P < S.size() && static_cast<unsigned char>(S[P]) <= ' ') {
            if (S[P] == '\n')
                ++Line;
            ++P;
        }
    }

    // One string: quoted parts and #n characters, joined by "+" across lines.
    void ReadStringToken() {
        Str.clear();
        StrWide = false;
        for (;;) {
            if (P < S.size() && S[P] == '\'') {
                ++P;
                for (;;) {
                    if (P >= S.size() || S[P] == '\n' || S[P] == '\r')
                        Error("Unterminated string");
                    if (S[P] == '\'') {
                        if (P + 1 < S.size() && S[P + 1] == '\'') {
                            Str += L'\'';
                            P += 2;
                            continue;
                        }
                        ++P;
                        break;
                    }
                    Str += static_cast<wchar_t>(static_cast<unsigned char>(S[P++]));
                }
            } else if (P < S.size() && S[P] == '#') {
                ++P;
                unsigned long V = 0;
                bool Hex = P < S.size() && S[P] == '$';
                if (Hex)
                    ++P;
                size_t Start = P;
                while (P < S.size() && (Hex ? HexValue(S[P]) >= 0 : IsDigit(S[P]))) {
                    V = V * (Hex ? 16 : 10) + static_cast<unsigned long>(Hex ? HexValue(S[P]) : S[P] - '0');
                    if (V > 0xFFFF)
                        Error("Invalid character code");
                    ++P;
                }
                if (P == Start)
                    Error("Number expected");
                if (V > 255 || (Hex && P - Start == 4))
                    StrWide = true;
                Str += static_cast<wchar_t>(V);
            } else
                break;
            // A "+" after blanks continues the string on the next line.
            size_t Save = P;
            int SaveLine = Line;
            SkipBlanks();
            if (P < S.size() && S[P] == '+') {
                ++P;
                SkipBlanks();
                if (P >= S.size() || (S[P] != '\'' && S[P] != '#'))
                    Error("String expected");
            } else {
                P = Save;
                Line = SaveLine;
                if (P < S.size() && (S[P] == '\'' || S[P] == '#'))
                    continue;
                break;
            }
        }
    }

    void Next() {
        SkipBlanks();
        TokLine = Line;
        if (P >= S.size()) {
            Tok = tEOF;
            return;
        }
        char C = S[P];
        if (IsIdentStart(C)) {
            size_t Start = P;
            while (P < S.size() && (IsIdentStart(S[P]) || IsDigit(S[P]) || S[P] == '.'))
                ++P;
            Ident = S.substr(Start, P - Start);
            Tok = tIdent;
        } else if (C == '\'' || C == '#') {
            ReadStringToken();
            Tok = tString;
        } else if (IsDigit(C) || ((C == '-' || C == '+') && P + 1 < S.size() && (IsDigit(S[P + 1]) || S[P + 1] == '$')) ||
                   C == '$') {
            size_t Start = P;
            if (C == '-' || C == '+')
                ++P;
            if (P < S.size() && S[P] == '$') {
                ++P;
                std::uint64_t V = 0;
                size_t DigitsAt = P;
                while (P < S.size() && HexValue(S[P]) >= 0)
                    V = V * 16 + static_cast<std::uint64_t>(HexValue(S[P++]));
                if (P == DigitsAt)
                    Error("Number expected");
                Int = C == '-' ? -static_cast<Int64>(V) : static_cast<Int64>(V);
                Tok = tInteger;
                return;
            }
            bool Float = false;
            while (P < S.size() && IsDigit(S[P]))
                ++P;
            if (P < S.size() && S[P] == '.' && P + 1 < S.size() && IsDigit(S[P + 1])) {
                Float = true;
                ++P;
                while (P < S.size() && IsDigit(S[P]))
                    ++P;
            }
            if (P < S.size() && (S[P] == 'e' || S[P] == 'E')) {
                size_t Save = P++;
                if (P < S.size() && (S[P] == '+' || S[P] == '-'))
                    ++P;
                if (P < S.size() && IsDigit(S[P])) {
                    Float = true;
                    while (P < S.size() && IsDigit(S[P]))
                        ++P;
                } else
                    P = Save;
            }
            Num = S.substr(Start, P - Start);
            Suffix = 0;
            if (P < S.size() && (S[P] == 's' || S[P] == 'S' || S[P] == 'c' || S[P] == 'C' || S[P] == 'd' || S[P] == 'D')) {
                Suffix = static_cast<char>(S[P] | 0x20);
                Float = true;
                ++P;
            }
            if (Float)
                Tok = tFloat;
            else {
                errno = 0;
                Int = std::strtoll(Num.c_str(), nullptr, 10);
                if (errno == ERANGE)
                    Error("Number out of range");
                Tok = tInteger;
            }
        } else if (C == '{') {
            ++P;
            Bin.clear();
            int Half = -1;
            for (;;) {
                SkipBlanks();
                if (P >= S.size())
                    Error("'}' expected");
                if (S[P] == '}') {
                    ++P;
                    break;
                }
                int H = HexValue(S[P]);
                if (H < 0)
                    Error("Invalid binary value");
                ++P;
                if (Half < 0)
                    Half = H;
                else {
                    Bin += static_cast<char>(Half * 16 + H);
                    Half = -1;
                }
            }
            if (Half >= 0)
                Error("Invalid binary value");
            Tok = tBinary;
        } else if (std::strchr("=:[](){}<>,", C)) {
            Sym = C;
            ++P;
            Tok = tSymbol;
        } else
            Error(std::string("Invalid character '") + C + "'");
    }

    bool IsSymbol(char C) const { return Tok == tSymbol && Sym == C; }
    bool IsKeyword(const char* K) const { return Tok == tIdent && SameText(Ident, K); }
    void Expect(char C) {
        if (!IsSymbol(C))
            Error(std::string("'") + C + "' expected");
        Next();
    }
    std::string ExpectIdent() {
        if (Tok != tIdent)
            Error("Identifier expected");
        std::string R = Ident;
        Next();
        return R;
    }

    // "[" integer "]" (a child position, an item's order).
    Int64 BracketedInteger() {
        Next();
        if (Tok != tInteger)
            Error("Number expected");
        Int64 V = Int;
        Next();
        Expect(']');
        return V;
    }

    void ParseObject() {
        TFilerFlags Flags;
        if (IsKeyword("inherited"))
            Flags.Include(ffInherited);
        else if (IsKeyword("inline"))
            Flags.Include(ffInline);
        else if (!IsKeyword("object"))
            Error("'object' expected");
        Next();
        std::string First = ExpectIdent(), Name, Class;
        if (IsSymbol(':')) {
            Next();
            Name = First;
            Class = ExpectIdent();
        } else
            Class = First;
        int Pos = 0;
        if (IsSymbol('[')) {
            Pos = static_cast<int>(BracketedInteger());
            Flags.Include(ffChildPos);
        }
        W.WritePrefix(Flags, Pos);
        W.WriteStr(Class);
        W.WriteStr(Name);
        while (Tok == tIdent && !IsKeyword("end") && !IsKeyword("object") && !IsKeyword("inherited") &&
               !IsKeyword("inline"))
            ParseProperty();
        W.WriteListEnd();
        while (!IsKeyword("end")) {
            if (Tok == tEOF)
                Error("'end' expected");
            ParseObject();
        }
        Next();
        W.WriteListEnd();
    }

    void ParseProperty() {
        std::string Name = ExpectIdent();
        if (Name.size() > 255)
            Error("Property name too long");
        Expect('=');
        W.WriteStr(Name);
        ParseValue();
    }

    void WriteFloatToken() {
        if (Suffix == 'c') {
            // Exact decimal scaling: no rounding through binary fractions.
            std::string T = Num;
            bool Neg = !T.empty() && T[0] == '-';
            if (!T.empty() && (T[0] == '-' || T[0] == '+'))
                T.erase(0, 1);
            if (T.find_first_of("eE") != std::string::npos)
                Error("Invalid currency value");
            auto Dot = T.find('.');
            std::string IntPart = T.substr(0, Dot), Frac = Dot == std::string::npos ? "" : T.substr(Dot + 1);
            if (Frac.size() > 4)
                Error("Invalid currency value");
            Frac.resize(4, '0');
            Int64 V = std::strtoll(IntPart.c_str(), nullptr, 10) * 10000 + std::strtoll(Frac.c_str(), nullptr, 10);
            W.WriteCurrency(Neg ? -V : V);
            return;
        }
        long double V = std::strtold(Num.c_str(), nullptr);
        if (Suffix == 's')
            W.WriteSingle(static_cast<float>(V));
        else if (Suffix == 'd')
            W.WriteDate(static_cast<double>(V));
        else
            W.WriteFloat(V);
    }

    void ParseValue() {
        switch (Tok) {
        case tInteger:
            W.WriteInteger(Int);
            Next();
            break;
        case tFloat:
            WriteFloatToken();
            Next();
            break;
        case tString:
            if (StrWide) {
                W.WriteValue(vaWString);
                LongInt L = static_cast<LongInt>(Str.size());
                W.Write(&L, 4);
                W.Write(Str.data(), L * 2);
            } else
                W.WriteString(std::string(Str.begin(), Str.end()));
            Next();
            break;
        case tIdent:
            if (Ident.size() > 255)
                Error("Identifier too long");
            W.WriteIdent(Ident);
            Next();
            break;
        case tBinary:
            W.WriteBinaryValue(Bin.data(), static_cast<LongInt>(Bin.size()));
            Next();
            break;
        case tSymbol:
            if (Sym == '[') {
                Next();
                W.WriteValue(vaSet);
                if (!IsSymbol(']'))
                    for (;;) {
                        W.WriteStr(ExpectIdent());
                        if (IsSymbol(']'))
                            break;
                        Expect(',');
                    }
                Next();
                W.WriteStr("");
            } else if (Sym == '(') {
                Next();
                W.WriteListBegin();
                while (!IsSymbol(')')) {
                    if (Tok == tEOF)
                        Error("')' expected");
                    ParseValue();
                }
                Next();
                W.WriteListEnd();
            } else if (Sym == '<') {
                Next();
                W.WriteValue(vaCollection);
                while (!IsSymbol('>')) {
                    if (!IsKeyword("item"))
                        Error("'item' expected");
                    Next();
                    if (IsSymbol('['))
                        W.WriteInteger(BracketedInteger());
                    W.WriteListBegin();
                    while (!IsKeyword("end")) {
                        if (Tok != tIdent)
                            Error("'end' expected");
                        ParseProperty();
                    }
                    Next();
                    W.WriteListEnd();
                }
                Next();
                W.WriteListEnd();
            } else
                Error("Invalid property value");
            break;
        default:
            Error("Invalid property value");
        }
    }
};
}  // namespace

void ObjectBinaryToText(TStream* Input, TStream* Output) {
    std::string Text;
    TBinaryToText(Input, Text).Run();
    Output->WriteBuffer(Text.data(), static_cast<LongInt>(Text.size()));
}

void ObjectTextToBinary(TStream* Input, TStream* Output) {
    std::string Text(static_cast<size_t>(Input->Size() - Input->Position()), '\0');
    Input->ReadBuffer(Text.data(), static_cast<LongInt>(Text.size()));
    TTextToBinary(Text, Output).Run();
}

std::string ObjectBinaryToText(const std::string& Binary) {
    TPointerStream In(Binary.data(), static_cast<LongInt>(Binary.size()));
    std::string Text;
    TBinaryToText(&In, Text).Run();
    return Text;
}

std::string ObjectTextToBinary(const std::string& Text) {
    TStringStream Out;
    TTextToBinary(Text, &Out).Run();
    return Out.DataString();
}
