// Fetch speed of the TDS client: rows per second reading the stand-in's generated result set
// (100,000 rows of int, nvarchar(64), varchar(10) and numeric(20,0)) over loopback.
#include "TdsClient.h"

#include "../tests/framework/TdsStandIn.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

void RemoveTree(const std::string& Dir) {
    std::string From = Dir + '\0';  // the operation takes a list ended by an empty name
    SHFILEOPSTRUCTA Op{};
    Op.wFunc = FO_DELETE;
    Op.pFrom = From.c_str();
    Op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&Op);
}

double Seconds(LARGE_INTEGER From, LARGE_INTEGER To) {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return static_cast<double>(To.QuadPart - From.QuadPart) / static_cast<double>(F.QuadPart);
}

// The same shape of reply built in memory: the client's decoding alone, without sockets or server.
TTdsBytes SyntheticReply(int Rows) {
    TTdsWriter W;
    W.U8(TdsToken::ColMetadata);
    W.U16(4);
    const TTdsBytes Types[] = {{0x26, 4},
                               {0xE7, 128, 0, 0x19, 0x04, 0xD0, 0, 0},
                               {0xA7, 10, 0, 0x19, 0x04, 0xD0, 0, 0},
                               {0x6C, 13, 20, 0}};
    const wchar_t* Names[] = {L"id", L"name", L"code", L"amount"};
    for (int I = 0; I < 4; ++I) {
        W.U16(0);
        W.U16(1);
        W.Bytes(Types[I]);
        W.BVarChar(Names[I]);
    }
    for (int R = 0; R < Rows; ++R) {
        W.U8(TdsToken::Row);
        W.U8(4);
        W.U32(static_cast<std::uint32_t>(R + 1));
        std::wstring Name = L"Row " + std::to_wstring(R + 1);
        W.U16(static_cast<std::uint16_t>(Name.size() * 2));
        W.WText(Name);
        std::string Code = "C" + std::to_string(R);
        W.U16(static_cast<std::uint16_t>(Code.size()));
        W.Bytes(Code.data(), Code.size());
        W.U8(13);
        W.U8(1);
        W.U64(static_cast<std::uint64_t>(R) * 100);
        W.U32(0);
    }
    W.U8(TdsToken::Done);
    W.U16(TdsDone::Count);
    W.U16(0xC1);
    W.U32(static_cast<std::uint32_t>(Rows));
    return W.Data;
}

}  // namespace

int main() {
    const int Rows = 100000;
    const wchar_t* Query = L"select id, name, code, amount from bench_rows";
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    std::string Dir = std::string(Temp) + "tds_fetch_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(Dir.c_str(), nullptr);
    int Result = 0;
    try {
        {
            TTdsBytes Reply = SyntheticReply(Rows);
            double Best = 1e30;
            for (int Run = 0; Run < 5; ++Run) {
                TTdsSession Session;
                Session.Version = TdsVersion::V71Rev1;
                TTdsTokenParser Parser(Session);
                TTdsBufferInput In(Reply);
                TTdsReply R;
                LARGE_INTEGER A, B;
                QueryPerformanceCounter(&A);
                Parser.ParseMessage(In, R);
                QueryPerformanceCounter(&B);
                double S = Seconds(A, B);
                Best = S < Best ? S : Best;
            }
            std::printf("tds_fetch: decoding alone (%u bytes in memory): best of 5 %.3f s, %.0f rows/s\n",
                        static_cast<unsigned>(Reply.size()), Best, Rows / Best);
        }
        TTdsStandIn Server(Dir + "\\", {"--bench-query", "select id, name, code, amount from bench_rows", "--bench-rows",
                                        std::to_string(Rows), "--login", "sa:bench"});
        for (std::uint32_t Version : {TdsVersion::V71Rev1, TdsVersion::V72}) {
            TTdsClient C;
            TTdsConnectParams P;
            P.DataSource = Server.DataSource();
            P.UserName = L"sa";
            P.Password = L"bench";
            P.TdsVersion = Version;
            C.Connect(P);
            C.ExecuteBatch(Query);  // warm-up
            double Best = 1e30;
            for (int Run = 0; Run < 5; ++Run) {
                LARGE_INTEGER A, B;
                QueryPerformanceCounter(&A);
                TTdsReply R = C.ExecuteBatch(Query);
                QueryPerformanceCounter(&B);
                if (!R.FirstResultSet() || R.FirstResultSet()->RowCount() != static_cast<size_t>(Rows)) {
                    std::printf("tds_fetch: expected %d rows\n", Rows);
                    return 1;
                }
                double S = Seconds(A, B);
                Best = S < Best ? S : Best;
            }
            std::printf("tds_fetch: TDS %s, %d rows x 4 columns: best of 5 %.3f s, %.0f rows/s\n",
                        Version == TdsVersion::V72 ? "7.2" : "7.1", Rows, Best, Rows / Best);
        }
    } catch (const Exception& E) {
        std::printf("tds_fetch: %s\n", E.Message().c_str());
        Result = 1;
    } catch (const std::exception& E) {
        std::printf("tds_fetch: %s\n", E.what());
        Result = 1;
    }
    RemoveTree(Dir);
    return Result;
}
