#include "StandInClient.h"

#include "TestSupport.h"

#include <windows.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <stdexcept>

namespace standin_test {

using testing_support::BinDir;

std::vector<std::uint8_t> Ucs2(const std::string& Utf8Text) {
    int N = MultiByteToWideChar(CP_UTF8, 0, Utf8Text.data(), static_cast<int>(Utf8Text.size()), nullptr, 0);
    std::wstring W(static_cast<std::size_t>(N), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Utf8Text.data(), static_cast<int>(Utf8Text.size()), W.data(), N);
    std::vector<std::uint8_t> Out;
    for (wchar_t C : W) {
        Out.push_back(static_cast<std::uint8_t>(C));
        Out.push_back(static_cast<std::uint8_t>(C >> 8));
    }
    return Out;
}

std::string Utf8(const std::wstring& W) {
    int N = WideCharToMultiByte(CP_UTF8, 0, W.data(), static_cast<int>(W.size()), nullptr, 0, nullptr, nullptr);
    std::string S(static_cast<std::size_t>(N), '\0');
    WideCharToMultiByte(CP_UTF8, 0, W.data(), static_cast<int>(W.size()), S.data(), N, nullptr, nullptr);
    return S;
}

static std::string ReadText(const std::string& Path) {
    try {
        auto B = testing_support::ReadFileBytes(Path);
        return std::string(B.begin(), B.end());
    } catch (...) {
        return {};
    }
}

StandIn::StandIn(const std::string& Folder, const std::vector<std::string>& Args) : FFolder(Folder) {
    static bool Started = [] {
        WSADATA W;
        return WSAStartup(MAKEWORD(2, 2), &W) == 0;
    }();
    (void)Started;
    std::string Ports = Folder + "ports.txt";
    DeleteFileA(Ports.c_str());
    std::string Cmd = "\"" + BinDir() + "sqlstandin.exe\" --port 0 --ssrp-port 0 --state \"" + Folder + "state\" --ports-file \"" +
                      Ports + "\" --transcript \"" + Folder + "transcript.txt\"";
    for (auto& A : Args)
        Cmd += " \"" + A + "\"";
    STARTUPINFOA Si{};
    Si.cb = sizeof Si;
    std::vector<char> Line(Cmd.begin(), Cmd.end());
    Line.push_back('\0');
    if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &FProcess))
        throw std::runtime_error("cannot start " + Cmd);
    for (int I = 0; I < 600; ++I) {
        std::string P = ReadText(Ports);
        int Tcp = 0, Udp = 0;
        auto T = P.find("tcp=127.0.0.1:");
        if (T != std::string::npos && std::sscanf(P.c_str() + T, "tcp=127.0.0.1:%d", &Tcp) == 1) {
            auto U = P.find("ssrp=127.0.0.1:");
            if (U != std::string::npos)
                std::sscanf(P.c_str() + U, "ssrp=127.0.0.1:%d", &Udp);
            FPort = Tcp;
            FSsrpPort = Udp;
            return;
        }
        if (WaitForSingleObject(FProcess.hProcess, 50) == WAIT_OBJECT_0)
            break;
    }
    Stop();
    throw std::runtime_error("the stand-in did not start: " + Cmd);
}

StandIn::~StandIn() { Stop(); }

void StandIn::Stop() {
    if (!FProcess.hProcess)
        return;
    TerminateProcess(FProcess.hProcess, 0);
    WaitForSingleObject(FProcess.hProcess, 10000);
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
    FProcess = {};
}

std::string StandIn::Transcript() const { return ReadText(FFolder + "transcript.txt"); }

std::vector<std::int32_t> Reply::ErrorNumbers() const {
    std::vector<std::int32_t> N;
    for (auto& E : Errors)
        N.push_back(E.Number);
    return N;
}

TdsClient::TdsClient(int Port) {
    FSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_port = htons(static_cast<u_short>(Port));
    inet_pton(AF_INET, "127.0.0.1", &A.sin_addr);
    if (connect(FSocket, reinterpret_cast<sockaddr*>(&A), sizeof A) != 0)
        throw std::runtime_error("cannot connect to the stand-in");
    DWORD Timeout = 20000;
    setsockopt(FSocket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&Timeout), sizeof Timeout);
}

TdsClient::~TdsClient() { closesocket(FSocket); }

void TdsClient::SendRaw(const std::vector<std::uint8_t>& Bytes) {
    send(FSocket, reinterpret_cast<const char*>(Bytes.data()), static_cast<int>(Bytes.size()), 0);
}

void TdsClient::Send(std::uint8_t Type, const std::vector<std::uint8_t>& Payload, std::uint8_t Status) {
    std::size_t Len = Payload.size() + 8;
    std::vector<std::uint8_t> P{Type, Status, static_cast<std::uint8_t>(Len >> 8), static_cast<std::uint8_t>(Len), 0, 0, 1, 0};
    P.insert(P.end(), Payload.begin(), Payload.end());
    SendRaw(P);
}

static void RecvExact(SOCKET S, std::uint8_t* Into, std::size_t N) {
    while (N) {
        int Got = recv(S, reinterpret_cast<char*>(Into), static_cast<int>(N), 0);
        if (Got <= 0)
            throw std::runtime_error("connection closed by the server");
        Into += Got;
        N -= static_cast<std::size_t>(Got);
    }
}

std::vector<std::uint8_t> TdsClient::ReadMessage() {
    std::vector<std::uint8_t> Data;
    for (;;) {
        std::uint8_t H[8];
        RecvExact(FSocket, H, 8);
        std::size_t Len = static_cast<std::size_t>(H[2] << 8 | H[3]);
        if (H[0] != 0x04 || Len < 8)
            throw std::runtime_error("not a reply packet");
        std::size_t Old = Data.size();
        Data.resize(Old + Len - 8);
        RecvExact(FSocket, Data.data() + Old, Len - 8);
        if (H[1] & 1)
            return Data;
    }
}

bool TdsClient::ClosedByServer() {
    char B;
    return recv(FSocket, &B, 1, 0) == 0;
}

std::vector<std::uint8_t> TdsClient::PreLogin() {
    Send(0x12, {0x00, 0x00, 0x15, 0x00, 0x06, 0x01, 0x00, 0x1B, 0x00, 0x01, 0x02, 0x00, 0x1C, 0x00, 0x01, 0x03, 0x00, 0x1D, 0x00,
                0x04, 0xFF, 0x08, 0x00, 0x01, 0x55, 0x00, 0x00, 0x02, 0x00, 0x34, 0x12, 0x00, 0x00});
    return ReadMessage();
}

static void Put16(std::vector<std::uint8_t>& V, std::size_t At, std::size_t X) {
    V[At] = static_cast<std::uint8_t>(X);
    V[At + 1] = static_cast<std::uint8_t>(X >> 8);
}
static void Put32(std::vector<std::uint8_t>& V, std::size_t At, std::uint32_t X) {
    Put16(V, At, X & 0xFFFF);
    Put16(V, At + 2, X >> 16);
}

Reply TdsClient::Login(const std::string& User, const std::string& Password, const std::string& Database,
                       std::uint32_t Version, bool Integrated) {
    const bool V72 = Version >= 0x72000000;
    const std::size_t Fixed = V72 ? 94 : 86;
    std::vector<std::uint8_t> L(Fixed, 0);
    Put32(L, 4, Version);
    Put32(L, 8, 4096);
    L[24] = 0xE0;
    L[25] = Integrated ? 0x83 : 0x03;
    std::vector<std::uint8_t> Pw = Ucs2(Password);
    for (auto& B : Pw)
        B = static_cast<std::uint8_t>(((B << 4) | (B >> 4)) ^ 0xA5);
    std::vector<std::uint8_t> Token = {'N', 'T', 'L', 'M', 'S', 'S', 'P', 0, 1, 0, 0, 0};
    const std::vector<std::uint8_t> Fields[9] = {Ucs2("TESTHOST"), Ucs2(Integrated ? "" : User), Integrated ? std::vector<std::uint8_t>{} : Pw,
                                                 Ucs2("StandInTest"), Ucs2("127.0.0.1"), {}, Ucs2("OLEDB"), {}, Ucs2(Database)};
    for (int I = 0; I < 9; ++I) {
        Put16(L, 36 + 4 * I, L.size());
        Put16(L, 38 + 4 * I, Fields[I].size() / 2);
        L.insert(L.end(), Fields[I].begin(), Fields[I].end());
    }
    Put16(L, 78, L.size());
    if (Integrated) {
        Put16(L, 80, Token.size());
        L.insert(L.end(), Token.begin(), Token.end());
    }
    Put16(L, 82, L.size());
    if (V72)
        Put16(L, 86, L.size());
    Put32(L, 0, static_cast<std::uint32_t>(L.size()));
    F72 = V72;  // a failed login answers at the version the server would have chosen
    Send(0x10, L);
    Reply R = ReadReply();
    if (Integrated && !R.SspiToken.empty()) {
        Send(0x11, {'N', 'T', 'L', 'M', 'S', 'S', 'P', 0, 3, 0, 0, 0});
        R = ReadReply();
    }
    F72 = !R.AckVersion.empty() && R.AckVersion[0] == 0x72;
    return R;
}

std::vector<std::uint8_t> TdsClient::AllHeaders() const {
    if (!F72)
        return {};
    return {0x16, 0, 0, 0, 0x12, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
}

Reply TdsClient::Batch(const std::string& Text) {
    std::vector<std::uint8_t> P = AllHeaders(), T = Ucs2(Text);
    P.insert(P.end(), T.begin(), T.end());
    Send(0x01, P);
    return ReadReply();
}

Reply TdsClient::ExecuteSql(const std::string& Statement, const std::vector<std::pair<std::string, std::string>>& Params) {
    std::vector<std::uint8_t> P = AllHeaders();
    P.insert(P.end(), {0xFF, 0xFF, 10, 0, 0, 0});
    auto NVarChar = [&](const std::string& Name, const std::string& Value) {
        std::vector<std::uint8_t> N = Ucs2(Name), V = Ucs2(Value);
        P.push_back(static_cast<std::uint8_t>(N.size() / 2));
        P.insert(P.end(), N.begin(), N.end());
        P.insert(P.end(), {0x00, 0xE7, 0x40, 0x1F, 0x19, 0x04, 0xD0, 0x00, 0x00});
        P.push_back(static_cast<std::uint8_t>(V.size()));
        P.push_back(static_cast<std::uint8_t>(V.size() >> 8));
        P.insert(P.end(), V.begin(), V.end());
    };
    NVarChar("", Statement);
    std::string Decl;
    for (auto& [Name, Value] : Params)
        Decl += (Decl.empty() ? "" : ", ") + Name + " nvarchar(4000)";
    NVarChar("", Decl);
    for (auto& [Name, Value] : Params)
        NVarChar(Name, Value);
    Send(0x03, P);
    return ReadReply();
}

namespace {
struct Cursor {
    const std::vector<std::uint8_t>& D;
    std::size_t P = 0;
    std::uint8_t U8() {
        if (P >= D.size())
            throw std::runtime_error("reply ends inside a token");
        return D[P++];
    }
    std::uint16_t U16() {
        std::uint16_t Lo = U8();
        return static_cast<std::uint16_t>(Lo | U8() << 8);
    }
    std::uint32_t U32() {
        std::uint32_t Lo = U16();
        return Lo | static_cast<std::uint32_t>(U16()) << 16;
    }
    std::uint64_t Le(unsigned N) {
        std::uint64_t V = 0;
        for (unsigned I = 0; I < N; ++I)
            V |= static_cast<std::uint64_t>(U8()) << (8 * I);
        return V;
    }
    std::string Wide(std::size_t Chars) {
        std::wstring W;
        for (std::size_t I = 0; I < Chars; ++I)
            W += static_cast<wchar_t>(U16());
        return Utf8(W);
    }
    std::string Narrow(std::size_t Bytes) {
        std::string S;
        for (std::size_t I = 0; I < Bytes; ++I)
            S += static_cast<char>(U8());
        int N = MultiByteToWideChar(1251, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
        std::wstring W(static_cast<std::size_t>(N), L'\0');
        MultiByteToWideChar(1251, 0, S.data(), static_cast<int>(S.size()), W.data(), N);
        return Utf8(W);
    }
};
}  // namespace

Reply TdsClient::Parse(const std::vector<std::uint8_t>& Data) {
    Reply R;
    Cursor C{Data};
    while (C.P < Data.size()) {
        std::uint8_t T = C.U8();
        R.Tokens.push_back(T);
        switch (T) {
        case 0x81: {
            ResultSet S;
            std::uint16_t N = C.U16();
            for (std::uint16_t I = 0; I < N; ++I) {
                C.Le(F72 ? 4 : 2);
                C.U16();
                std::size_t Start = C.P;
                std::uint8_t Type = C.U8();
                if (Type == 0x26 || Type == 0x68 || Type == 0x24)
                    C.U8();
                else if (Type == 0x6C)
                    C.U8(), C.U8(), C.U8();
                else if (Type == 0xA7 || Type == 0xAF || Type == 0xE7 || Type == 0xEF)
                    C.U16(), C.Le(5);
                else
                    throw std::runtime_error("unexpected column type");
                S.TypeInfo.emplace_back(Data.begin() + static_cast<std::ptrdiff_t>(Start), Data.begin() + static_cast<std::ptrdiff_t>(C.P));
                S.Names.push_back(C.Wide(C.U8()));
            }
            R.Sets.push_back(S);
            break;
        }
        case 0xD1: {
            ResultSet& S = R.Sets.back();
            std::vector<std::string> Row;
            for (auto& TI : S.TypeInfo) {
                std::uint8_t Type = TI[0];
                if (Type == 0x26 || Type == 0x68) {
                    unsigned Len = C.U8();
                    if (!Len) {
                        Row.push_back("NULL");
                        continue;
                    }
                    std::uint64_t V = C.Le(Len);
                    std::int64_t Sv = Len == 4 ? static_cast<std::int32_t>(V) : static_cast<std::int64_t>(V);
                    Row.push_back(std::to_string(Sv));
                } else if (Type == 0x6C) {
                    unsigned Len = C.U8();
                    if (!Len) {
                        Row.push_back("NULL");
                        continue;
                    }
                    bool Positive = C.U8() == 1;
                    std::uint64_t Mag = C.Le(8);
                    C.Le(Len - 9);
                    Row.push_back((Positive ? "" : "-") + std::to_string(Mag));
                } else if (Type == 0x24) {
                    unsigned Len = C.U8();
                    std::string G;
                    for (unsigned I = 0; I < Len; ++I) {
                        char B[3];
                        std::snprintf(B, 3, "%02X", C.U8());
                        G += B;
                    }
                    Row.push_back(Len ? G : "NULL");
                } else {
                    std::uint16_t Len = C.U16();
                    if (Len == 0xFFFF)
                        Row.push_back("NULL");
                    else
                        Row.push_back(Type == 0xE7 || Type == 0xEF ? C.Wide(Len / 2u) : C.Narrow(Len));
                }
            }
            S.Rows.push_back(Row);
            break;
        }
        case 0xFD:
        case 0xFE:
        case 0xFF: {
            Done D;
            D.Token = T;
            D.Status = C.U16();
            C.U16();
            D.Count = C.Le(F72 ? 8 : 4);
            R.Dones.push_back(D);
            break;
        }
        case 0xAA:
        case 0xAB: {
            std::size_t End = C.U16();
            End += C.P;
            Message M;
            M.Number = static_cast<std::int32_t>(C.U32());
            C.U8();
            M.Class = C.U8();
            M.Text = C.Wide(C.U16());
            C.P = End;
            (T == 0xAA ? R.Errors : R.Infos).push_back(M);
            break;
        }
        case 0xE3: {
            std::size_t End = C.U16();
            End += C.P;
            if (C.U8() == 1)
                R.Database = C.Wide(C.U8());
            C.P = End;
            break;
        }
        case 0xAD: {
            std::size_t End = C.U16();
            End += C.P;
            C.U8();
            for (int I = 0; I < 4; ++I)
                R.AckVersion.push_back(C.U8());
            C.P = End;
            F72 = R.AckVersion[0] == 0x72;  // widths of the rest of this reply follow the answered version
            break;
        }
        case 0xED: {
            std::uint16_t N = C.U16();
            for (std::uint16_t I = 0; I < N; ++I)
                R.SspiToken.push_back(C.U8());
            break;
        }
        case 0x79:
            R.ReturnStatus = static_cast<int>(C.U32());
            break;
        default:
            throw std::runtime_error("unexpected token " + std::to_string(T));
        }
    }
    return R;
}

}  // namespace standin_test
