#include "TdsPackets.h"

#include <cstdio>

TTdsBytes TdsFrame(std::uint8_t Type, const TTdsBytes& Payload, size_t PacketSize) {
    const size_t Chunk = PacketSize - TdsPacket::HeaderSize;
    TTdsBytes Out;
    Out.reserve(Payload.size() + (Payload.size() / Chunk + 1) * TdsPacket::HeaderSize);
    size_t Pos = 0;
    std::uint8_t Id = 1;
    do {
        size_t N = Payload.size() - Pos;
        if (N > Chunk)
            N = Chunk;
        bool Last = Pos + N == Payload.size();
        size_t Len = N + TdsPacket::HeaderSize;
        std::uint8_t H[8] = {Type, static_cast<std::uint8_t>(Last ? TdsPacket::StatusEom : 0),
                             static_cast<std::uint8_t>(Len >> 8), static_cast<std::uint8_t>(Len), 0, 0, Id++, 0};
        Out.insert(Out.end(), H, H + 8);
        Out.insert(Out.end(), Payload.begin() + static_cast<long>(Pos), Payload.begin() + static_cast<long>(Pos + N));
        Pos += N;
    } while (Pos < Payload.size());
    return Out;
}

TTdsBytes BuildPrelogin(const std::uint8_t Version[6], std::uint8_t Encryption, std::uint32_t ThreadId) {
    struct Opt {
        std::uint8_t Token;
        TTdsBytes Data;
    };
    Opt Opts[] = {{0x00, TTdsBytes(Version, Version + 6)},
                  {0x01, {Encryption}},
                  {0x02, {0x00}},
                  {0x03, {static_cast<std::uint8_t>(ThreadId), static_cast<std::uint8_t>(ThreadId >> 8),
                          static_cast<std::uint8_t>(ThreadId >> 16), static_cast<std::uint8_t>(ThreadId >> 24)}}};
    TTdsWriter W;
    std::uint16_t Offset = static_cast<std::uint16_t>(std::size(Opts) * 5 + 1);
    for (const Opt& O : Opts) {
        W.U8(O.Token);
        W.U16BE(Offset);
        W.U16BE(static_cast<std::uint16_t>(O.Data.size()));
        Offset = static_cast<std::uint16_t>(Offset + O.Data.size());
    }
    W.U8(0xFF);
    for (const Opt& O : Opts)
        W.Bytes(O.Data);
    return W.Data;
}

TTdsPreloginReply ParsePreloginReply(const TTdsBytes& Payload) {
    TTdsPreloginReply R;
    size_t Pos = 0;
    for (;;) {
        if (Pos >= Payload.size())
            TdsProtocolError("the pre-login reply has no terminator");
        std::uint8_t Token = Payload[Pos];
        if (Token == 0xFF)
            break;
        if (Pos + 5 > Payload.size())
            TdsProtocolError("the pre-login option table is cut short");
        size_t Off = (Payload[Pos + 1] << 8) | Payload[Pos + 2];
        size_t Len = (Payload[Pos + 3] << 8) | Payload[Pos + 4];
        if (Off + Len > Payload.size())
            TdsProtocolError("a pre-login option lies outside the reply");
        const std::uint8_t* D = Payload.data() + Off;
        if (Token == 0x00 && Len >= 6)
            std::memcpy(R.Version, D, 6);
        else if (Token == 0x01 && Len >= 1)
            R.Encryption = D[0];
        else if (Token == 0x02 && Len >= 1)
            R.InstOpt = D[0];
        Pos += 5;
    }
    return R;
}

TTdsBytes ObfuscatePassword(const std::wstring& Password) {
    TTdsWriter W;
    W.WText(Password);
    for (std::uint8_t& B : W.Data)
        B = static_cast<std::uint8_t>(((B << 4) | (B >> 4)) ^ 0xA5);
    return W.Data;
}

TTdsBytes BuildLogin7(const TTdsLogin7& L) {
    const bool Is72 = L.TdsVersion >= 0x72000000;
    const size_t Fixed = Is72 ? 94 : 86;
    TTdsWriter W;
    W.Zeros(Fixed);
    TTdsWriter Var;  // the variable part, placed after the fixed part
    auto Field = [&](size_t At, const TTdsBytes& Data, size_t Count) {
        W.PutU16At(At, static_cast<std::uint16_t>(Fixed + Var.Size()));
        W.PutU16At(At + 2, static_cast<std::uint16_t>(Count));
        Var.Bytes(Data);
    };
    auto Text = [&](size_t At, const std::wstring& S) {
        TTdsWriter T;
        T.WText(S);
        Field(At, T.Data, S.size());
    };
    bool Integrated = !L.Sspi.empty();
    Text(36, L.HostName);
    Text(40, Integrated ? std::wstring() : L.UserName);
    Field(44, Integrated ? TTdsBytes() : ObfuscatePassword(L.Password), Integrated ? 0 : L.Password.size());
    Text(48, L.AppName);
    Text(52, L.ServerName);
    Field(56, {}, 0);  // unused
    Text(60, L.LibraryName);
    Text(64, L.Language);
    Text(68, L.Database);
    if (L.Sspi.size() >= 0xFFFF && !Is72)
        TdsProtocolError("the security token is too long for this protocol version");
    Field(78, L.Sspi, L.Sspi.size() >= 0xFFFF ? 0xFFFF : L.Sspi.size());
    Field(82, {}, 0);  // database file to attach
    if (Is72) {
        Field(86, {}, 0);  // new password
        W.PutU32At(90, L.Sspi.size() >= 0xFFFF ? static_cast<std::uint32_t>(L.Sspi.size()) : 0);
    }
    W.Bytes(Var.Data);
    W.PutU32At(0, static_cast<std::uint32_t>(W.Size()));
    W.PutU32At(4, L.TdsVersion);
    W.PutU32At(8, L.PacketSize);
    W.PutU32At(12, L.ClientProgVer);
    W.PutU32At(16, L.ClientPid);
    W.PutU32At(20, 0);
    W.Data[24] = L.OptionFlags1;
    W.Data[25] = static_cast<std::uint8_t>(Integrated ? L.OptionFlags2 | 0x80 : L.OptionFlags2 & 0x7F);
    W.Data[26] = L.TypeFlags;
    W.Data[27] = L.OptionFlags3;
    W.PutU32At(28, static_cast<std::uint32_t>(L.ClientTimeZone));
    W.PutU32At(32, L.ClientLcid);
    std::memcpy(W.Data.data() + 72, L.ClientId, 6);
    return W.Data;
}

void WriteAllHeaders(TTdsWriter& W, std::uint64_t TransactionDescriptor) {
    W.U32(22);  // total length
    W.U32(18);  // this header's length
    W.U16(2);   // transaction descriptor
    W.U64(TransactionDescriptor);
    W.U32(1);   // outstanding requests
}

TTdsBytes BuildSqlBatch(const std::wstring& Sql, bool AllHeaders, std::uint64_t TransactionDescriptor) {
    TTdsWriter W;
    W.Data.reserve(Sql.size() * 2 + 22);
    if (AllHeaders)
        WriteAllHeaders(W, TransactionDescriptor);
    W.WText(Sql);
    return W.Data;
}

namespace {

const size_t MaxNVarChar = 4000;    // characters of nvarchar(4000)
const size_t MaxVarBinary = 8000;

std::wstring ParamName(const std::wstring& Name) { return !Name.empty() && Name[0] == L'@' ? Name : L"@" + Name; }

// The wire type and the declaration that go with a value.
TTdsTypeInfo ParamType(const TTdsValue& V, const TTdsCollation& Collation, std::wstring* Decl) {
    TTdsTypeInfo T;
    T.Collation = Collation;
    auto Set = [&](std::uint8_t Type, std::uint32_t Len, const wchar_t* D) {
        T.Type = Type;
        T.MaxLength = Len;
        if (Decl)
            *Decl = D;
    };
    switch (V.Data.index()) {
    case 1: Set(TdsType::BitN, 1, L"bit"); break;
    case 2: {
        std::int64_t X = std::get<std::int64_t>(V.Data);
        if (X >= INT32_MIN && X <= INT32_MAX)
            Set(TdsType::IntN, 4, L"int");
        else
            Set(TdsType::IntN, 8, L"bigint");
        break;
    }
    case 3: Set(TdsType::FltN, 8, L"float"); break;
    case 4: Set(TdsType::DateTimN, 8, L"datetime"); break;
    case 5: {
        const TTdsDecimal& D = std::get<TTdsDecimal>(V.Data);
        Set(TdsType::DecimalN, 17, L"");
        T.Precision = 38;
        T.Scale = D.Scale;
        if (Decl) {
            wchar_t Buf[32];
            std::swprintf(Buf, 32, L"decimal(38,%u)", D.Scale);
            *Decl = Buf;
        }
        break;
    }
    case 7:
        if (std::get<TTdsBytes>(V.Data).size() > MaxVarBinary)
            Set(TdsType::Image, 0x7FFFFFFF, L"image");
        else
            Set(TdsType::BigVarBin, MaxVarBinary, L"varbinary(8000)");
        break;
    case 8: Set(TdsType::Guid, 16, L"uniqueidentifier"); break;
    default:  // text and NULL
        if (V.Data.index() == 6 && std::get<std::wstring>(V.Data).size() > MaxNVarChar)
            Set(TdsType::NText, 0x7FFFFFFE, L"ntext");
        else
            Set(TdsType::NVarChar, MaxNVarChar * 2, L"nvarchar(4000)");
        break;
    }
    return T;
}

void WriteParam(TTdsWriter& W, const std::wstring& Name, const TTdsValue& V, const TTdsCollation& Collation) {
    W.BVarChar(Name);
    W.U8(0);  // input
    TTdsTypeInfo T = ParamType(V, Collation, nullptr);
    WriteTypeInfo(W, T, true);
    WriteValue(W, T, V);
}

}  // namespace

std::wstring TdsParamDeclaration(const TTdsParam& P) {
    std::wstring Decl;
    ParamType(P.Value, TTdsCollation(), &Decl);
    return ParamName(P.Name) + L" " + Decl;
}

TTdsBytes BuildSpExecuteSql(const std::wstring& Sql, const std::vector<TTdsParam>& Params, bool AllHeaders,
                            std::uint64_t TransactionDescriptor, const TTdsCollation& Collation) {
    TTdsWriter W;
    if (AllHeaders)
        WriteAllHeaders(W, TransactionDescriptor);
    W.U16(0xFFFF);
    W.U16(10);  // sp_executesql
    W.U16(0);   // option flags
    std::wstring Decls;
    for (const TTdsParam& P : Params)
        Decls += (Decls.empty() ? L"" : L",") + TdsParamDeclaration(P);
    WriteParam(W, L"", Sql, Collation);
    if (!Params.empty()) {
        WriteParam(W, L"", Decls, Collation);
        for (const TTdsParam& P : Params)
            WriteParam(W, ParamName(P.Name), P.Value, Collation);
    }
    return W.Data;
}
