#include "TdsTokens.h"

#include <cstdio>

namespace {

[[noreturn]] void BadToken(const char* What, unsigned Token) {
    char Buf[96];
    std::snprintf(Buf, sizeof Buf, "%s (token 0x%02X)", What, Token);
    TdsProtocolError(Buf);
}

// LOGINACK carries the version most significant byte first; SQL Server 7.0 and 2000 RTM wrote
// 7.0 and 7.1 as 07 00 and 07 01.
std::uint32_t NormaliseAckVersion(const std::uint8_t B[4]) {
    auto Be = [](const std::uint8_t* P) {
        return (static_cast<std::uint32_t>(P[0]) << 24) | (P[1] << 16) | (P[2] << 8) | P[3];
    };
    if (B[0] == 0x07 && B[1] <= 1)
        return B[1] == 0 ? 0x70000000 : TdsVersion::V71;
    if (B[0] >= 0x71 && B[0] <= 0x74)
        return Be(B);
    if (B[3] >= 0x71 && B[3] <= 0x74) {  // sent least significant byte first
        std::uint8_t R[4] = {B[3], B[2], B[1], B[0]};
        return Be(R);
    }
    TdsProtocolError("unknown TDS version in the login acknowledgement");
}

}  // namespace

int TTdsResultSet::FindColumn(const std::wstring& Name) const {
    for (size_t I = 0; I < Columns.size(); ++I)
        if (WideSameText(Columns[I].Name, Name))
            return static_cast<int>(I);
    return -1;
}

const TTdsMessage* TTdsReply::FirstFailure() const {
    for (const TTdsMessage& M : Messages)
        if (M.Fails())
            return &M;
    return nullptr;
}

const TTdsResultSet* TTdsReply::FirstResultSet() const {
    for (const TTdsResultSet& R : ResultSets)
        if (!R.Columns.empty())
            return &R;
    return nullptr;
}

std::int64_t TTdsReply::RowsAffected() const {
    std::int64_t N = -1;
    for (const TTdsDone& D : Dones)
        if (D.Token != TdsToken::DoneProc && D.HasCount() && D.ResultSet < 0)
            N = (N < 0 ? 0 : N) + static_cast<std::int64_t>(D.RowCount);
    return N;
}

void TTdsTokenParser::ParseMessage(TTdsInput& In, TTdsReply& Reply) {
    while (!In.AtMessageEnd())
        ParseToken(In.U8(), In, Reply);
}

void TTdsTokenParser::ParseToken(std::uint8_t Token, TTdsInput& In, TTdsReply& Reply) {
    using namespace TdsToken;
    switch (Token) {
    case ColMetadata: ParseColMetadata(In, Reply); return;
    case Row: ParseRow(In, Reply, false); return;
    case NbcRow: ParseRow(In, Reply, true); return;
    case Done:
    case DoneProc:
    case DoneInProc: ParseDone(Token, In, Reply); return;
    case ReturnStatus: Reply.ReturnStatuses.push_back(In.I32()); return;
    case ReturnValue: ParseReturnValue(In, Reply); return;
    case Offset: In.Skip(4); return;
    default: break;
    }
    // The rest carry their length: read the body whole, so that no field can run past it.
    switch (Token) {
    case Error:
    case Info:
    case EnvChange:
    case LoginAck:
    case Order:
    case TabName:
    case ColInfo:
    case Sspi: {
        TTdsBytes Body = In.Bytes(In.U16());
        if (Token == Error || Token == Info)
            ParseMessageToken(Token == Error, Body, Reply);
        else if (Token == EnvChange)
            ParseEnvChange(Body);
        else if (Token == LoginAck)
            ParseLoginAck(Body, Reply);
        else if (Token == Sspi)
            Reply.SspiToken = std::move(Body);
        return;
    }
    default: BadToken("unexpected token", Token);
    }
}

void TTdsTokenParser::ParseColMetadata(TTdsInput& In, TTdsReply& Reply) {
    std::uint16_t Count = In.U16();
    if (Count != 0xFFFF) {  // 0xFFFF: the previous metadata stays
        FColumns.assign(Count, TTdsColumn());
        bool Wide = FSession.Is72();
        for (TTdsColumn& C : FColumns) {
            if (Wide)
                In.U32();  // user type
            else
                In.U16();
            C.Flags = In.U16();
            ReadTypeInfo(In, C.Type, true);
            if (C.Type.IsTextPointerType()) {
                if (Wide) {
                    std::uint8_t Parts = In.U8();
                    for (std::uint8_t I = 0; I < Parts; ++I)
                        C.TableName += (I ? L"." : L"") + In.UsVarChar();
                } else
                    C.TableName = In.UsVarChar();
            }
            C.Name = In.BVarChar();
        }
    }
    Reply.ResultSets.emplace_back().Columns = FColumns;
    Reply.OpenSet = static_cast<int>(Reply.ResultSets.size()) - 1;
}

void TTdsTokenParser::ParseRow(TTdsInput& In, TTdsReply& Reply, bool NullBitmap) {
    if (FColumns.empty())
        BadToken("a row without column metadata", NullBitmap ? TdsToken::NbcRow : TdsToken::Row);
    if (Reply.OpenSet < 0) {  // rows of a result set whose metadata came in an earlier message
        Reply.ResultSets.emplace_back().Columns = FColumns;
        Reply.OpenSet = static_cast<int>(Reply.ResultSets.size()) - 1;
    }
    std::vector<TTdsValue>& Cells = Reply.ResultSets[static_cast<size_t>(Reply.OpenSet)].Cells;
    size_t N = FColumns.size();
    std::uint8_t Bitmap[128];  // 1024 columns at most
    if (NullBitmap) {
        size_t Bytes = (N + 7) / 8;
        if (Bytes > sizeof Bitmap)
            BadToken("too many columns", TdsToken::NbcRow);
        In.Read(Bitmap, Bytes);
    }
    for (size_t I = 0; I < N; ++I) {
        TTdsValue& V = Cells.emplace_back();
        if (NullBitmap && (Bitmap[I / 8] >> (I % 8)) & 1)
            continue;
        ReadValue(In, FColumns[I].Type, V);
    }
}

void TTdsTokenParser::ParseDone(std::uint8_t Token, TTdsInput& In, TTdsReply& Reply) {
    TTdsDone D;
    D.Token = Token;
    D.Status = In.U16();
    D.CurCmd = In.U16();
    if (FSession.Version) {
        D.RowCount = FSession.Is72() ? In.U64() : In.U32();
    } else {
        // Before LOGINACK the width is not settled. Only a failed login has a DONE then, as its
        // last token: four more bytes before the message's end make it the 8-byte count.
        D.RowCount = In.U32();
        if (!In.AtMessageEnd())
            D.RowCount |= static_cast<std::uint64_t>(In.U32()) << 32;
    }
    D.ResultSet = Reply.OpenSet;
    Reply.OpenSet = -1;
    if (D.Status & TdsDone::Attn)
        Reply.AttentionAck = true;
    if (Token != TdsToken::DoneInProc && !(D.Status & TdsDone::More))
        Reply.Final = true;
    Reply.Dones.push_back(D);
}

void TTdsTokenParser::ParseMessageToken(bool IsError, const TTdsBytes& Body, TTdsReply& Reply) {
    TTdsBufferInput In(Body);
    TTdsMessage M;
    M.IsError = IsError;
    M.Number = In.I32();
    M.State = In.U8();
    M.Class = In.U8();
    M.Text = In.UsVarChar();
    M.Server = In.BVarChar();
    M.Procedure = In.BVarChar();
    // The line number is 2 bytes before 7.2 and 4 from then on; the length tells which.
    if (In.Remaining() >= 4)
        M.Line = In.I32();
    else if (In.Remaining() >= 2)
        M.Line = In.U16();
    Reply.Messages.push_back(std::move(M));
}

void TTdsTokenParser::ParseEnvChange(const TTdsBytes& Body) {
    TTdsBufferInput In(Body);
    std::uint8_t Type = In.U8();
    switch (Type) {
    case 1:  // database
        FSession.Database = In.BVarChar();
        break;
    case 2:  // language
        FSession.Language = In.BVarChar();
        break;
    case 4: {  // packet size, as decimal text
        std::wstring S = In.BVarChar();
        std::uint32_t N = 0;
        for (wchar_t C : S) {
            if (C < L'0' || C > L'9' || N > 100000) {
                N = 0;
                break;
            }
            N = N * 10 + static_cast<std::uint32_t>(C - L'0');
        }
        if (N < 512 || N > 32767)
            TdsProtocolError("invalid packet size in an environment change");
        FSession.PacketSize = N;
        break;
    }
    case 7: {  // collation
        std::uint8_t L = In.U8();
        if (L == 5) {
            FSession.Collation.Info = In.U32();
            FSession.Collation.SortId = In.U8();
        } else
            In.Skip(L);
        break;
    }
    case 8: {  // transaction begun: its descriptor goes into every request's headers
        std::uint8_t L = In.U8();
        if (L == 8)
            FSession.TransactionDescriptor = In.U64();
        else
            In.Skip(L);
        break;
    }
    case 9:
    case 10:
    case 17:
        FSession.TransactionDescriptor = 0;
        break;
    case 20:
        throw ETdsError(TTdsErrorKind::Unsupported,
                        "The server redirects the connection to another server, which this program does not support.");
    default:
        break;  // nothing the client keeps
    }
}

void TTdsTokenParser::ParseLoginAck(const TTdsBytes& Body, TTdsReply& Reply) {
    TTdsBufferInput In(Body);
    TTdsLoginAck A;
    A.Interface = In.U8();
    std::uint8_t V[4];
    In.Read(V, 4);
    A.TdsVersion = NormaliseAckVersion(V);
    A.ProgName = In.BVarChar();
    In.Read(V, 4);
    A.ProgVersion = (static_cast<std::uint32_t>(V[0]) << 24) | (V[1] << 16) | (V[2] << 8) | V[3];
    FSession.Version = A.TdsVersion;
    Reply.LoginAck = std::move(A);
}

void TTdsTokenParser::ParseReturnValue(TTdsInput& In, TTdsReply& Reply) {
    TTdsReturnValue R;
    R.Ordinal = In.U16();
    R.Name = In.BVarChar();
    R.Status = In.U8();
    if (FSession.Is72())
        In.U32();  // user type
    else
        In.U16();
    In.U16();  // flags
    ReadTypeInfo(In, R.Type, true);
    ReadValue(In, R.Type, R.Value);
    Reply.ReturnValues.push_back(std::move(R));
}
