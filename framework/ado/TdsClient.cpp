#include "TdsClient.h"

namespace {

std::wstring ExecutableBaseName() {
    wchar_t Path[MAX_PATH];
    DWORD N = GetModuleFileNameW(nullptr, Path, MAX_PATH);
    std::wstring S(Path, N < MAX_PATH ? N : 0);
    size_t Slash = S.find_last_of(L"\\/");
    if (Slash != std::wstring::npos)
        S.erase(0, Slash + 1);
    size_t Dot = S.rfind(L'.');
    if (Dot != std::wstring::npos)
        S.erase(Dot);
    return S;
}

// The service principal the security package needs: MSSQLSvc/<fully qualified host>:<port>.
std::wstring ServicePrincipal(const TSqlServerName& Name, const sockaddr_in& Address) {
    std::wstring Host = Name.Host;
    if (Name.Local) {
        wchar_t Buf[256];
        DWORD N = 256;
        Host = GetComputerNameExW(ComputerNameDnsFullyQualified, Buf, &N) && N ? std::wstring(Buf, N) : L"localhost";
    }
    return L"MSSQLSvc/" + Host + L":" + std::to_wstring(ntohs(Address.sin_port));
}

const std::uint8_t ClientLibraryVersion[6] = {8, 0, 0x01, 0x55, 0, 0};  // 8.0.341.0

}  // namespace

void TTdsClient::Connect(const TTdsConnectParams& P) {
    Disconnect();
    FWinsock.Start();
    TTdsDeadline Deadline = P.ConnectTimeoutMs ? TTdsDeadline::After(P.ConnectTimeoutMs) : TTdsDeadline::Never();
    TSqlServerName Name = ParseSqlServerName(P.DataSource);
    sockaddr_in Address = ResolveSqlServer(Name, Deadline, P.Resolve);
    if (!FSocket.Connect(Address, Deadline))
        throw ETdsError(TTdsErrorKind::Network, TdsTextNotFound);
    try {
        Login(P, Name, Address, Deadline);
    } catch (...) {
        Disconnect();
        throw;
    }
}

void TTdsClient::Login(const TTdsConnectParams& P, const TSqlServerName& Name, const sockaddr_in& Address,
                       const TTdsDeadline& Deadline) {
    FSession = TTdsSession();
    FSession.RequestedVersion = P.TdsVersion;
    FParser.Reset();
    FLoginAck = TTdsLoginAck();
    FLoginMessages.clear();
    FSocket.OnTimeout = nullptr;  // the login's time-out ends the connection
    auto Arm = [&] { FSocket.TimeoutMs = Deadline.Remaining(); };

    Arm();
    FSocket.SendMessage(TdsPacket::Prelogin, BuildPrelogin(ClientLibraryVersion, TdsEncryption::NotSupported,
                                                           GetCurrentThreadId()),
                        4096);
    TTdsPreloginReply Pre = ParsePreloginReply(FSocket.ReadMessage());
    // We offered no encryption: a server that wants it would close the connection or expect TLS.
    if (Pre.Encryption == TdsEncryption::On || Pre.Encryption == TdsEncryption::Required)
        throw ETdsError(TTdsErrorKind::Unsupported, TdsTextEncryption);
    if (Pre.InstOpt != 0)
        throw ETdsError(TTdsErrorKind::Network, TdsTextNotFound);

    TTdsLogin7 L;
    L.TdsVersion = P.TdsVersion;
    L.PacketSize = P.PacketSize;
    L.ClientPid = GetCurrentProcessId();
    L.ClientLcid = GetSystemDefaultLCID();
    L.HostName = LocalComputerName();
    L.AppName = P.AppName.empty() ? ExecutableBaseName() : P.AppName;
    L.ServerName = P.DataSource;
    L.LibraryName = L"OLEDB";
    L.Database = P.Database;
    std::unique_ptr<ITdsSspi> Sspi;
    if (P.IntegratedSecurity) {
        Sspi = P.CreateSspi ? P.CreateSspi() : CreateNegotiateSspi();
        L.Sspi = Sspi->Start(ServicePrincipal(Name, Address));
    } else {
        L.UserName = P.UserName;
        L.Password = P.Password;
    }
    FSocket.SendMessage(TdsPacket::Login7, BuildLogin7(L), 4096);

    TTdsReply R;
    for (;;) {
        Arm();
        FSocket.BeginMessage();
        R.SspiToken.clear();
        FParser.ParseMessage(FSocket, R);
        if (R.Final || R.LoginAck || R.SspiToken.empty() || !Sspi)
            break;
        // Another leg of the security exchange.
        FSocket.SendMessage(TdsPacket::Sspi, Sspi->Next(R.SspiToken), 4096);
    }
    if (!R.SspiToken.empty() && Sspi && R.LoginAck) {
        try {
            Sspi->Next(R.SspiToken);  // the server's proof of itself; the login stands without it
        } catch (const ETdsError&) {
        }
    }
    FLoginMessages = R.Messages;
    bool Failed = !R.LoginAck || !R.Final || (!R.Dones.empty() && R.Dones.back().Failed()) || R.FirstFailure();
    if (Failed) {
        const TTdsMessage* F = R.FirstFailure();
        throw ETdsError(TTdsErrorKind::Login, F ? WideToAnsi(F->Text) : "Login failed.", R.Messages);
    }
    if (FSession.Version < TdsVersion::V71)
        throw ETdsError(TTdsErrorKind::Unsupported,
                        "The server speaks TDS 7.0, an older protocol version that this program does not support.");
    FLoginAck = *R.LoginAck;
    FSocket.TimeoutMs = INFINITE;
    FSocket.OnTimeout = [this] { return OnReadTimeout(); };
}

void TTdsClient::Disconnect() {
    std::lock_guard<std::mutex> G(FLock);
    FSocket.Close();
    FPending = false;
    FAttention = TAttention::None;
}

TTdsReply TTdsClient::ExecuteBatch(const std::wstring& Sql, DWORD TimeoutMs) {
    return Request(TdsPacket::SqlBatch, BuildSqlBatch(Sql, FSession.Is72(), FSession.TransactionDescriptor), TimeoutMs);
}

TTdsReply TTdsClient::ExecuteSql(const std::wstring& Sql, const std::vector<TTdsParam>& Params, DWORD TimeoutMs) {
    return Request(TdsPacket::Rpc,
                   BuildSpExecuteSql(Sql, Params, FSession.Is72(), FSession.TransactionDescriptor, FSession.Collation),
                   TimeoutMs);
}

bool TTdsClient::SendAttention() {
    static const std::uint8_t Packet[8] = {TdsPacket::Attention, TdsPacket::StatusEom, 0, 8, 0, 0, 1, 0};
    return FSocket.SendRaw(Packet, sizeof Packet);
}

bool TTdsClient::OnReadTimeout() {
    std::lock_guard<std::mutex> G(FLock);
    if (FAttention != TAttention::None || !SendAttention())
        return false;  // the acknowledgement did not come either: give the connection up
    FAttention = TAttention::Timeout;
    FSocket.TimeoutMs = AttentionGraceMs;
    return true;
}

void TTdsClient::Cancel() {
    std::lock_guard<std::mutex> G(FLock);
    if (FPending && FAttention == TAttention::None && SendAttention()) {
        FAttention = TAttention::Cancel;
        FSocket.TimeoutMs = AttentionGraceMs;
    }
}

TTdsReply TTdsClient::Request(std::uint8_t Type, const TTdsBytes& Payload, DWORD TimeoutMs) {
    if (!Connected())
        throw ETdsError(TTdsErrorKind::Network, TdsTextClosed, {}, TdsObjectClosed);
    TTdsReply Reply;
    TAttention Attention;
    try {
        FSocket.SendMessage(Type, Payload, FSession.PacketSize);
        {
            std::lock_guard<std::mutex> G(FLock);
            FPending = true;
            FAttention = TAttention::None;
            FSocket.TimeoutMs = TimeoutMs ? TimeoutMs : INFINITE;
        }
        for (;;) {
            FSocket.BeginMessage();
            FParser.ParseMessage(FSocket, Reply);
            std::lock_guard<std::mutex> G(FLock);
            // After an attention the reply runs on, possibly over several messages, up to the
            // acknowledgement; only then is the session ready again.
            if (FAttention == TAttention::None || Reply.AttentionAck) {
                FPending = false;
                Attention = FAttention;
                FAttention = TAttention::None;
                break;
            }
        }
    } catch (...) {
        Disconnect();  // the stream is out of step: lost, malformed or unacknowledged
        throw;
    }
    if (Attention == TAttention::Timeout)
        throw ETdsError(TTdsErrorKind::Timeout, TdsTextTimeout, std::move(Reply.Messages));
    if (Attention == TAttention::Cancel)
        throw ETdsError(TTdsErrorKind::Cancelled, TdsTextCancelled, std::move(Reply.Messages));
    if (const TTdsMessage* F = Reply.FirstFailure())
        throw ETdsError(TTdsErrorKind::Server, WideToAnsi(F->Text), Reply.Messages);
    return Reply;
}
