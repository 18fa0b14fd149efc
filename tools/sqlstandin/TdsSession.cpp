#include "TdsSession.h"

#include "SqlLexer.h"
#include "TdsTokens.h"
#include "Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace standin {

using namespace tds;

namespace {

constexpr std::size_t MaxLogin = 128 * 1024;
constexpr std::size_t MaxRequest = 16 * 1024 * 1024;  // bounds the memory one client can make us hold

class Session {
public:
    Session(SOCKET S, ServerContext& Server) : FChannel(S), FServer(Server) {
        FState.Spid = Server.NextSpid++;
        FChannel.SetSpid(static_cast<std::uint16_t>(FState.Spid));
        FId = "s" + std::to_string(FState.Spid);
    }
    void Run(const std::string& Peer);

private:
    void Log(const std::string& Event, const std::string& Details = {}) { FServer.Log.Write(FId, Event, Details); }
    void PreLoginReply(const Message& M);
    bool Login(const Message& M);
    void Batch(const Message& M);
    void RpcCall(const Message& M);
    void Execute(const std::wstring& Text, const std::vector<sql::Binding>& Params, bool Rpc);
    void Reply(const std::vector<StatementResult>& Results, bool Rpc, const std::wstring& OldDatabase);
    void StreamBench(bool Rpc);
    bool AttentionWithin(unsigned Ms);
    void SendAttentionAck();
    void LoginFailed(const std::vector<ServerMessage>& Errors, const std::string& Why);
    // Where the request proper starts; npos after answering a 7.2 request that lacks its headers.
    std::size_t SkipAllHeaders(const Message& M, bool Rpc);

    PacketChannel FChannel;
    ServerContext& FServer;
    sql::SessionState FState;
    std::string FId;
    bool F72 = false;
    std::uint8_t FAckVersion[4] = {0x71, 0x00, 0x00, 0x01};
    TokenWriter Tokens() const { return TokenWriter(F72, FServer.Settings.FullServerName()); }
};

void Session::Run(const std::string& Peer) {
    Log("connect", Peer);
    try {
        Message M = FChannel.Read(MaxLogin);
        if (M.Type == PreLogin) {
            PreLoginReply(M);
            M = FChannel.Read(MaxLogin);
            if (FServer.Settings.Encryption == 0x03) {
                // We demanded encryption and cannot speak it: whatever comes now is not for us.
                Log("close", "encryption required");
                return;
            }
        }
        if (M.Type != tds::Login7)
            throw ProtocolError("expected LOGIN7, got packet type " + std::to_string(M.Type));
        if (!Login(M))
            return;
        for (;;) {
            M = FChannel.Read(MaxRequest);
            if (M.Ignored) {
                // The client abandoned a partly sent request: discard it, one DONE with the error bit.
                Log("ignored", "type=" + std::to_string(M.Type));
                Writer W;
                Tokens().DoneToken(W, Done, DoneError, 0, 0);
                FChannel.Put(W);
                FChannel.EndReply();
                continue;
            }
            switch (M.Type) {
            case SqlBatch:
                Batch(M);
                break;
            case Rpc:
                RpcCall(M);
                break;
            case tds::Attention:
                // The reply was complete already; the acknowledgement is still owed.
                Log("attention");
                SendAttentionAck();
                break;
            default:
                throw ProtocolError("unexpected packet type " + std::to_string(M.Type));
            }
        }
    } catch (const ConnectionClosed&) {
        Log("disconnect");
    } catch (const ProtocolError& E) {
        Log("close", std::string("protocol error: ") + E.what());
    } catch (const std::exception& E) {
        Log("close", std::string("internal error: ") + E.what());
    }
}

void Session::PreLoginReply(const Message& M) {
    Reader R(M.Data);
    bool First = true, WantThread = false, WantMars = false;
    std::string Instance;
    std::uint8_t ClientEncryption = 0x02;
    for (;;) {
        std::uint8_t Option = R.U8();
        if (Option == 0xFF)
            break;
        std::uint16_t Offset = R.U16BE(), Length = R.U16BE();
        if (static_cast<std::size_t>(Offset) + Length > M.Data.size())
            throw ProtocolError("PRELOGIN option outside the message");
        if (First && Option != 0x00)
            throw ProtocolError("PRELOGIN does not start with VERSION");
        First = false;
        const std::uint8_t* Data = M.Data.data() + Offset;
        if (Option == 0x01 && Length >= 1)
            ClientEncryption = Data[0];
        else if (Option == 0x02)
            Instance.assign(reinterpret_cast<const char*>(Data), strnlen(reinterpret_cast<const char*>(Data), Length));
        else if (Option == 0x03)
            WantThread = true;
        else if (Option == 0x04)
            WantMars = true;
    }
    const Config& C = FServer.Settings;
    // Clients that name no instance send the default instance's name; any instance accepts that.
    std::wstring Asked = FromCodePage(Instance, CP_ACP);
    bool InstanceOk = Asked.empty() || SameText(Asked, L"MSSQLSERVER") || SameText(Asked, FromUtf8(C.InstanceName()));
    unsigned Major = 9, Minor = 0, Build = 0;
    std::sscanf(C.Version.c_str(), "%u.%u.%u", &Major, &Minor, &Build);
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> Options = {
        {0x00, {static_cast<std::uint8_t>(Major), static_cast<std::uint8_t>(Minor), static_cast<std::uint8_t>(Build >> 8),
                static_cast<std::uint8_t>(Build), 0, 0}},
        {0x01, {C.Encryption}},
        {0x02, {static_cast<std::uint8_t>(InstanceOk ? 0 : 1)}}};
    if (WantThread)
        Options.push_back({0x03, {}});
    if (WantMars)
        Options.push_back({0x04, {0}});
    Writer W;
    std::size_t Offset = Options.size() * 5 + 1;
    for (auto& [Token, Data] : Options) {
        W.U8(Token);
        W.U16BE(static_cast<std::uint16_t>(Offset));
        W.U16BE(static_cast<std::uint16_t>(Data.size()));
        Offset += Data.size();
    }
    W.U8(0xFF);
    for (auto& O : Options)
        W.Raw(O.second.data(), O.second.size());
    Log("prelogin", "encryption=" + std::to_string(ClientEncryption) + " instance=" + Instance +
                        (InstanceOk ? "" : " (wrong instance)"));
    FChannel.Put(W);
    FChannel.EndReply();
}

void Session::LoginFailed(const std::vector<ServerMessage>& Errors, const std::string& Why) {
    Writer W;
    TokenWriter T = Tokens();
    for (auto& E : Errors)
        T.MessageToken(W, E);
    T.DoneToken(W, Done, DoneError, 0, 0);
    FChannel.Put(W);
    FChannel.EndReply();
    Log("login", "failed " + Why);
}

bool Session::Login(const Message& M) {
    Reader R(M.Data);
    std::uint32_t Length = R.U32();
    if (Length > M.Data.size() || Length < 86)
        throw ProtocolError("LOGIN7 length does not match the message");
    std::uint32_t Version = R.U32();
    std::uint32_t PacketSize = R.U32();
    R.Skip(12);
    R.Skip(1);
    std::uint8_t Flags2 = R.U8();
    R.Skip(2 + 8);
    struct Field {
        std::uint16_t Offset, Count;
    };
    Field F[9];
    for (auto& X : F)
        X = {R.U16(), R.U16()};
    R.Skip(6);
    Field Sspi{R.U16(), R.U16()};
    R.Skip(4);
    std::uint32_t SspiLong = 0;
    if (Version >= 0x72000000) {
        if (Length < 94)
            throw ProtocolError("LOGIN7 too short for its version");
        R.Skip(4);
        SspiLong = R.U32();
    }
    auto Text = [&](const Field& X) {
        if (static_cast<std::size_t>(X.Offset) + X.Count * 2u > Length)
            throw ProtocolError("LOGIN7 field outside the message");
        Reader Fr(M.Data.data() + X.Offset, X.Count * 2u);
        return Fr.Ucs2(X.Count);
    };
    std::wstring Host = Text(F[0]), User = Text(F[1]), App = Text(F[3]), Requested = Text(F[8]);
    if (static_cast<std::size_t>(F[2].Offset) + F[2].Count * 2u > Length)
        throw ProtocolError("LOGIN7 password outside the message");
    std::vector<std::uint8_t> Pw(M.Data.begin() + F[2].Offset, M.Data.begin() + F[2].Offset + F[2].Count * 2);
    for (auto& B : Pw) {
        B ^= 0xA5;
        B = static_cast<std::uint8_t>(B << 4 | B >> 4);
    }
    Reader PwR(Pw);
    std::wstring Password = PwR.Ucs2(F[2].Count);
    std::size_t SspiSize = Sspi.Count == 0xFFFF ? SspiLong : Sspi.Count;
    if (static_cast<std::size_t>(Sspi.Offset) + SspiSize > Length)
        throw ProtocolError("LOGIN7 security token outside the message");
    std::vector<std::uint8_t> Token(M.Data.begin() + Sspi.Offset, M.Data.begin() + Sspi.Offset + static_cast<std::ptrdiff_t>(SspiSize));

    // The answered version: the client's, but never above 7.2; below 7.1 is refused.
    if (Version >= 0x72000000) {
        F72 = true;
        const std::uint8_t V[4] = {0x72, 0x09, 0x00, 0x02};
        std::copy(V, V + 4, FAckVersion);
    } else if (Version == 0x71000000) {
        const std::uint8_t V[4] = {0x07, 0x01, 0x00, 0x00};
        std::copy(V, V + 4, FAckVersion);
    } else if (Version < 0x71000000) {
        LoginFailed({Error(18456, 14, L"Login failed. The client's TDS version is too old (7.1 or later is needed).")},
                    "tds version " + std::to_string(Version >> 24));
        return false;
    }
    const Config& C = FServer.Settings;
    const bool Integrated = (Flags2 & 0x80) != 0;
    std::string Who = Integrated ? "integrated" : "user=" + ToUtf8(User);
    if (Integrated) {
        Log("sspi", Hex(Token.data(), Token.size()));
        if (C.Integrated == IntegratedMode::Refuse) {
            LoginFailed({Error(18452, 14, L"Login failed. The login is from an untrusted domain and cannot be used with "
                                          L"Windows authentication.")},
                        Who + " error=18452");
            return false;
        }
        if (C.Integrated == IntegratedMode::Challenge) {
            // A challenge message of the usual shape; the client answers it with an SSPI message.
            static const std::uint8_t Challenge[] = {'N', 'T', 'L', 'M', 'S', 'S', 'P', 0, 2, 0, 0, 0, 0, 0, 0, 0,
                                                     56,  0,   0,   0,   0x15, 0x82, 0x8A, 0xE2, 1, 2, 3, 4, 5, 6, 7, 8};
            Writer W;
            W.U8(SspiToken);
            W.U16(sizeof Challenge);
            W.Raw(Challenge, sizeof Challenge);
            FChannel.Put(W);
            FChannel.EndReply();
            Message Answer = FChannel.Read(MaxLogin);
            if (Answer.Type != tds::Sspi)
                throw ProtocolError("expected the SSPI answer, got packet type " + std::to_string(Answer.Type));
            Log("sspi", Hex(Answer.Data.data(), Answer.Data.size()));
        }
    } else {
        bool Known = std::any_of(C.Logins.begin(), C.Logins.end(),
                                 [&](const LoginEntry& L) { return SameText(L.Name, User) && L.Password == Password; });
        if (!Known) {
            LoginFailed({Error(18456, 14, L"Login failed for user '" + User + L"'.")}, Who + " error=18456");
            return false;
        }
    }
    std::wstring Db = Requested.empty() ? L"master" : Requested;
    {
        std::lock_guard<std::mutex> G(FServer.Databases.Lock());
        const Database* D = FServer.Databases.Find(Db);
        if (!D) {
            LoginFailed({Error(4060, 11, L"Cannot open database \"" + Db + L"\" requested by the login. The login failed."),
                         Error(18456, 14, L"Login failed for user '" + (Integrated ? std::wstring(L"(integrated)") : User) + L"'.")},
                        Who + " error=4060");
            return false;
        }
        Db = D->Name;
    }
    FState.Database = Db;
    FState.Login = User;
    std::size_t Size = PacketSize == 0 ? 4096 : std::clamp<std::size_t>(PacketSize, 512, 32767);
    Writer W;
    TokenWriter T = Tokens();
    T.EnvDatabase(W, Db, L"master");
    T.MessageToken(W, Info(5701, L"Changed database context to '" + Db + L"'."));
    T.EnvCollation(W);
    T.LoginAckToken(W, FAckVersion, C.Version);
    T.EnvPacketSize(W, Size, 4096);
    T.DoneToken(W, Done, DoneFinal, 0, 0);
    FChannel.Put(W);
    FChannel.EndReply();
    FChannel.SetPacketSize(Size);
    Log("login", "ok " + Who + " database=" + ToUtf8(Db) + " tds=" + (F72 ? "7.2" : "7.1") + " packet=" + std::to_string(Size) +
                     " app=" + ToUtf8(App) + " host=" + ToUtf8(Host));
    return true;
}

std::size_t Session::SkipAllHeaders(const Message& M, bool Rpc) {
    if (!F72)
        return 0;
    Reader R(M.Data);
    std::uint32_t Total = R.Left() >= 4 ? R.U32() : 0;
    if (Total >= 4 && Total <= M.Data.size())
        return Total;
    Log(Rpc ? "rpc" : "batch", "(no ALL_HEADERS)");
    Reply({Failure({Error(8180, 16, L"The request has no valid ALL_HEADERS data.")})}, Rpc, FState.Database);
    return std::string::npos;
}

static std::wstring Ucs2Text(const std::vector<std::uint8_t>& Data, std::size_t From) {
    if ((Data.size() - From) % 2)
        throw ProtocolError("batch text of odd length");
    Reader R(Data.data() + From, Data.size() - From);
    return R.Ucs2((Data.size() - From) / 2);
}

void Session::Batch(const Message& M) {
    std::size_t Start = SkipAllHeaders(M, false);
    if (Start == std::string::npos)
        return;
    std::wstring Text = Ucs2Text(M.Data, Start);
    Log("batch", ToUtf8(Text));
    Execute(Text, {}, false);
}

// A parameter value of an RPC as the client sent it.
static sql::Binding ReadParameter(Reader& R) {
    sql::Binding B;
    B.Name = R.BVarChar();
    R.U8();  // status flags: output parameters get no value back from us
    std::uint8_t Type = R.U8();
    auto Narrow = [](const std::uint8_t* Coll, const std::string& Bytes) {
        unsigned Lcid = Coll[0] | (Coll[1] << 8) | ((Coll[2] & 0x0F) << 16);
        return FromCodePage(Bytes, Lcid == 0x0419 ? 1251 : Lcid == 0x0409 ? 1252 : CP_ACP);
    };
    switch (Type) {
    case 0xE7:
    case 0xEF:
    case 0xA7:
    case 0xAF: {
        bool Wide = Type == 0xE7 || Type == 0xEF;
        std::uint16_t Max = R.U16();
        const std::uint8_t* Coll = R.Take(5);
        B.Type.Type = Wide ? ColumnType::NVarChar : ColumnType::VarChar;
        B.Type.Size = static_cast<std::uint16_t>(Wide ? Max / 2 : Max);
        if (Max == 0xFFFF) {
            // (max) types arrive in PLP chunks.
            std::uint64_t Total = R.U64();
            if (Total != ~0ull) {
                std::string Bytes;
                for (std::uint32_t Chunk = R.U32(); Chunk; Chunk = R.U32())
                    Bytes.append(reinterpret_cast<const char*>(R.Take(Chunk)), Chunk);
                B.V = Value::Of(Wide ? Reader(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()).Ucs2(Bytes.size() / 2)
                                     : Narrow(Coll, Bytes));
            }
            break;
        }
        std::uint16_t Len = R.U16();
        if (Len != 0xFFFF) {
            if (Wide)
                B.V = Value::Of(R.Ucs2(Len / 2u));
            else
                B.V = Value::Of(Narrow(Coll, std::string(reinterpret_cast<const char*>(R.Take(Len)), Len)));
        }
        break;
    }
    case 0x63:
    case 0x23: {
        R.U32();
        const std::uint8_t* Coll = R.Take(5);
        std::uint32_t Len = R.U32();
        B.Type.Type = Type == 0x63 ? ColumnType::NVarChar : ColumnType::VarChar;
        B.Type.Size = 4000;
        if (Len != 0xFFFFFFFF)
            B.V = Value::Of(Type == 0x63 ? R.Ucs2(Len / 2) : Narrow(Coll, std::string(reinterpret_cast<const char*>(R.Take(Len)), Len)));
        break;
    }
    case 0x26:
    case 0x68:
    case 0x30:
    case 0x34:
    case 0x38:
    case 0x7F:
    case 0x32: {
        unsigned Fixed = Type == 0x30 || Type == 0x32 ? 1 : Type == 0x34 ? 2 : Type == 0x38 ? 4 : Type == 0x7F ? 8 : 0;
        unsigned Max = Fixed ? Fixed : R.U8();
        unsigned Len = Fixed ? Fixed : R.U8();
        if (Len > 8 || Len > Max)
            throw ProtocolError("integer parameter of length " + std::to_string(Len));
        B.Type.Type = Type == 0x68 || Type == 0x32 ? ColumnType::Bit : Max == 8 ? ColumnType::BigInt : ColumnType::Int;
        if (Len) {
            const std::uint8_t* P = R.Take(Len);
            std::uint64_t V = 0;
            for (unsigned I = 0; I < Len; ++I)
                V |= static_cast<std::uint64_t>(P[I]) << (8 * I);
            std::int64_t S = static_cast<std::int64_t>(V);
            if (Len < 8 && Type != 0x30 && (V >> (8 * Len - 1)) & 1)
                S = static_cast<std::int64_t>(V | (~0ull << (8 * Len)));
            B.V = Value::Of(S);
        }
        break;
    }
    default:
        throw sql::SqlError(Error(8016, 16, L"The incoming tabular data stream (TDS) remote procedure call (RPC) protocol "
                                            L"stream is incorrect. Parameter (\"" + B.Name + L"\"): Data type 0x" +
                                                std::wstring(1, L"0123456789ABCDEF"[Type >> 4]) +
                                                std::wstring(1, L"0123456789ABCDEF"[Type & 15]) + L" is unknown."));
    }
    return B;
}

void Session::RpcCall(const Message& M) {
    std::size_t Start = SkipAllHeaders(M, true);
    if (Start == std::string::npos)
        return;
    Reader R(M.Data.data() + Start, M.Data.size() - Start);
    std::uint16_t NameLen = R.U16();
    std::wstring Proc = NameLen == 0xFFFF ? (R.U16() == 10 ? L"sp_executesql" : L"(procedure id)") : R.Ucs2(NameLen);
    R.U16();  // option flags
    std::vector<sql::Binding> Params;
    try {
        if (!SameText(Proc, L"sp_executesql"))
            throw sql::SqlError(Error(2812, 16, L"Could not find stored procedure '" + Proc + L"'."));
        while (R.Left() > 0)
            Params.push_back(ReadParameter(R));
        if (Params.empty() || Params[0].V.K != Value::Text)
            throw sql::SqlError(Error(214, 16, L"Procedure expects parameter '@statement' of type 'ntext/nchar/nvarchar'."));
    } catch (const sql::SqlError& E) {
        Log("rpc", ToUtf8(Proc));
        Reply({Failure({E.Message})}, true, FState.Database);
        return;
    }
    std::wstring Text = Params[0].V.Str;
    // The second parameter declares the others; their values arrive typed, so the declaration is not needed.
    std::vector<sql::Binding> Named(Params.begin() + std::min<std::size_t>(2, Params.size()), Params.end());
    std::wstring Describe = Proc + L" " + Text;
    for (auto& B : Named)
        Describe += L" | " + B.Name + L"=" + (B.V.K == Value::Null ? L"NULL" : ValueText(B.V));
    Log("rpc", ToUtf8(Describe));
    Execute(Text, Named, true);
}

bool Session::AttentionWithin(unsigned Ms) {
    ULONGLONG End = GetTickCount64() + Ms;
    for (;;) {
        ULONGLONG Now = GetTickCount64();
        if (Now >= End)
            return false;
        if (FChannel.WaitReadable(static_cast<unsigned>(std::min<ULONGLONG>(End - Now, 200)))) {
            Message M = FChannel.Read(MaxRequest);
            if (M.Type != tds::Attention)
                throw ProtocolError("a request arrived while another was running");
            return true;
        }
    }
}

void Session::SendAttentionAck() {
    Writer W;
    Tokens().DoneToken(W, Done, DoneAttn, 0, 0);
    FChannel.Put(W);
    FChannel.EndReply();
    Log("reply", "attention acknowledged");
}

void Session::Execute(const std::wstring& Text, const std::vector<sql::Binding>& Params, bool Rpc) {
    sql::Engine& E = FServer.Engine;
    if (unsigned Delay = E.ConfiguredDelay(Text)) {
        if (AttentionWithin(Delay)) {
            Log("attention");
            SendAttentionAck();
            return;
        }
    }
    if (auto Fail = E.ConfiguredFailure(Text)) {
        Reply({Failure({*Fail})}, Rpc, FState.Database);
        return;
    }
    if (E.IsBenchQuery(Text)) {
        StreamBench(Rpc);
        return;
    }
    std::wstring Old = FState.Database;
    Reply(E.Run(Text, Params, FState), Rpc, Old);
}

void Session::StreamBench(bool Rpc) {
    TokenWriter T = Tokens();
    GeneratedRows G = FServer.Engine.BenchRows();
    Writer W;
    T.ColumnsMetadata(W, G.Columns);
    for (std::uint64_t I = 0; I < G.Count; ++I) {
        T.RowData(W, G.Columns, sql::Engine::BenchRow(I));
        if (W.Size() >= 65536) {
            FChannel.Put(W);
            W.Bytes.clear();
        }
    }
    if (Rpc) {
        T.DoneToken(W, DoneInProc, DoneMore | DoneCount, 0xC1, G.Count);
        T.ReturnStatusToken(W, 0);
        T.DoneToken(W, DoneProc, DoneFinal, 0, 0);
    } else {
        T.DoneToken(W, Done, DoneCount, 0xC1, G.Count);
    }
    FChannel.Put(W);
    FChannel.EndReply();
    Log("reply", "rows=" + std::to_string(G.Count) + " (generated)");
}

void Session::Reply(const std::vector<StatementResult>& Results, bool Rpc, const std::wstring& OldDatabase) {
    TokenWriter T = Tokens();
    Writer W;
    std::string Summary;
    bool AnyFailed = false;
    for (std::size_t I = 0; I < Results.size(); ++I) {
        const StatementResult& R = Results[I];
        const bool Last = I + 1 == Results.size() && !Rpc;
        if (R.ChangedDatabase) {
            T.EnvDatabase(W, FState.Database, OldDatabase);
            T.MessageToken(W, Info(5701, L"Changed database context to '" + FState.Database + L"'."));
        }
        std::string Part;
        if (!R.Columns.empty()) {
            T.ColumnsMetadata(W, R.Columns);
            for (auto& Row : R.Rows)
                T.RowData(W, R.Columns, Row);
            Part += "rows=" + std::to_string(R.Rows.size()) + "(";
            for (std::size_t C = 0; C < R.Columns.size(); ++C)
                Part += (C ? "," : "") + ToUtf8(R.Columns[C].Name);
            Part += ")";
        }
        std::string Errors, Infos;
        for (auto& M : R.Messages) {
            T.MessageToken(W, M, R.IsProcedure ? L"xp_fileexist" : L"");
            (M.IsError ? Errors : Infos) += (M.IsError ? (Errors.empty() ? "" : ",") : (Infos.empty() ? "" : ",")) +
                                            std::to_string(M.Number);
        }
        if (!Infos.empty())
            Part += (Part.empty() ? "" : " ") + std::string("info=") + Infos;
        if (!Errors.empty())
            Part += (Part.empty() ? "" : " ") + std::string("error=") + Errors;
        if (Part.empty())
            Part = "done";
        Summary += (Summary.empty() ? "" : " ; ") + Part;
        AnyFailed = AnyFailed || R.Failed;
        std::uint16_t Status = static_cast<std::uint16_t>((R.Failed ? DoneError : 0) | (R.Counted ? DoneCount : 0));
        if (R.IsProcedure) {
            T.DoneToken(W, DoneInProc, static_cast<std::uint16_t>(Status | DoneMore), R.CurCmd, R.Count);
            T.ReturnStatusToken(W, R.Failed ? 1 : 0);
            T.DoneToken(W, DoneProc, static_cast<std::uint16_t>((R.Failed ? DoneError : 0) | (Last ? 0 : DoneMore)), 0, 0);
        } else {
            T.DoneToken(W, Rpc ? DoneInProc : Done, static_cast<std::uint16_t>(Status | (Last ? 0 : DoneMore)), R.CurCmd, R.Count);
        }
        if (W.Size() >= 65536) {
            FChannel.Put(W);
            W.Bytes.clear();
        }
    }
    if (Rpc) {
        T.ReturnStatusToken(W, AnyFailed ? 1 : 0);
        T.DoneToken(W, DoneProc, AnyFailed ? DoneError : DoneFinal, 0, 0);
    } else if (Results.empty()) {
        T.DoneToken(W, Done, DoneFinal, 0, 0);
        Summary = "done";
    }
    FChannel.Put(W);
    FChannel.EndReply();
    Log("reply", Summary);
}

}  // namespace

void RunSession(SOCKET S, const std::string& Peer, ServerContext& Server) {
    {
        Session Sess(S, Server);
        Sess.Run(Peer);
    }
    closesocket(S);
}

}  // namespace standin
