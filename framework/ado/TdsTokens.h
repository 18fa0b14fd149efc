// The reply token stream: a server message parsed into result sets, DONE counts, messages,
// environment changes and the login acknowledgement.
#pragma once

#include "TdsErrors.h"
#include "TdsTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TdsToken {
enum : std::uint8_t {
    Offset = 0x78,
    ReturnStatus = 0x79,
    ColMetadata = 0x81,
    TabName = 0xA4,
    ColInfo = 0xA5,
    Order = 0xA9,
    Error = 0xAA,
    Info = 0xAB,
    ReturnValue = 0xAC,
    LoginAck = 0xAD,
    Row = 0xD1,
    NbcRow = 0xD2,
    EnvChange = 0xE3,
    Sspi = 0xED,
    Done = 0xFD,
    DoneProc = 0xFE,
    DoneInProc = 0xFF,
};
}

namespace TdsDone {
enum : std::uint16_t { More = 0x0001, Error = 0x0002, InXact = 0x0004, Count = 0x0010, Attn = 0x0020, SrvError = 0x0100 };
}

// TDS versions as LOGIN7 carries them.
namespace TdsVersion {
inline constexpr std::uint32_t V71 = 0x71000000;
inline constexpr std::uint32_t V71Rev1 = 0x71000001;
inline constexpr std::uint32_t V72 = 0x72090002;
inline constexpr std::uint32_t V73A = 0x730A0003;
inline constexpr std::uint32_t V73B = 0x730B0003;
inline constexpr std::uint32_t V74 = 0x74000004;
}

struct TTdsDone {
    std::uint8_t Token = 0;  // DONE, DONEPROC or DONEINPROC
    std::uint16_t Status = 0;
    std::uint16_t CurCmd = 0;
    std::uint64_t RowCount = 0;
    int ResultSet = -1;  // the result set this DONE closed, or -1

    bool HasCount() const { return Status & TdsDone::Count; }
    bool Failed() const { return Status & TdsDone::Error; }
};

struct TTdsResultSet {
    std::vector<TTdsColumn> Columns;
    std::vector<TTdsValue> Cells;  // row after row

    size_t RowCount() const { return Columns.empty() ? 0 : Cells.size() / Columns.size(); }
    const TTdsValue& Cell(size_t Row, size_t Col) const { return Cells[Row * Columns.size() + Col]; }
    // Index of a column by name (case-insensitive), -1 when absent: results are read by name.
    int FindColumn(const std::wstring& Name) const;
};

struct TTdsReturnValue {
    std::uint16_t Ordinal = 0;
    std::wstring Name;
    std::uint8_t Status = 0;
    TTdsTypeInfo Type;
    TTdsValue Value;
};

struct TTdsLoginAck {
    std::uint8_t Interface = 0;
    std::uint32_t TdsVersion = 0;  // normalised to the LOGIN7 form (0x71000001 ...)
    std::wstring ProgName;
    std::uint32_t ProgVersion = 0;
};

// Everything one request brought back, in arrival order per kind.
struct TTdsReply {
    std::vector<TTdsResultSet> ResultSets;
    std::vector<TTdsDone> Dones;
    std::vector<TTdsMessage> Messages;
    std::vector<TTdsReturnValue> ReturnValues;
    std::vector<std::int32_t> ReturnStatuses;
    std::optional<TTdsLoginAck> LoginAck;
    TTdsBytes SspiToken;       // the server's next authentication leg, if any
    bool Final = false;        // a DONE or DONEPROC without DONE_MORE arrived
    bool AttentionAck = false; // a DONE with DONE_ATTN arrived
    int OpenSet = -1;          // result set receiving rows (parser state)

    // The first error above class 10, or null.
    const TTdsMessage* FirstFailure() const;
    // The first result set that has columns, or null.
    const TTdsResultSet* FirstResultSet() const;
    // Rows affected: the counts of the DONE and DONEINPROC tokens that closed no result set,
    // added up; -1 when none carried a count.
    std::int64_t RowsAffected() const;
};

// What the session knows and a reply may change.
struct TTdsSession {
    std::uint32_t RequestedVersion = TdsVersion::V71Rev1;
    std::uint32_t Version = 0;  // from LOGINACK; 0 before it
    std::wstring Database;
    std::wstring Language;
    TTdsCollation Collation;
    std::uint32_t PacketSize = 4096;
    std::uint64_t TransactionDescriptor = 0;  // 7.2+: the open transaction

    std::uint32_t EffectiveVersion() const { return Version ? Version : RequestedVersion; }
    bool Is72() const { return EffectiveVersion() >= TdsVersion::V72; }
};

// Parses the tokens of server messages. Keeps the last column metadata, which rows of a later
// message may still use (the tail of a cancelled reply).
class TTdsTokenParser {
public:
    explicit TTdsTokenParser(TTdsSession& Session) : FSession(Session) {}
    // Reads every token of the current message into Reply.
    void ParseMessage(TTdsInput& In, TTdsReply& Reply);
    // Forgets the column metadata (a new connection).
    void Reset() { FColumns.clear(); }

private:
    void ParseToken(std::uint8_t Token, TTdsInput& In, TTdsReply& Reply);
    void ParseColMetadata(TTdsInput& In, TTdsReply& Reply);
    void ParseRow(TTdsInput& In, TTdsReply& Reply, bool NullBitmap);
    void ParseDone(std::uint8_t Token, TTdsInput& In, TTdsReply& Reply);
    void ParseMessageToken(bool IsError, const TTdsBytes& Body, TTdsReply& Reply);
    void ParseEnvChange(const TTdsBytes& Body);
    void ParseLoginAck(const TTdsBytes& Body, TTdsReply& Reply);
    void ParseReturnValue(TTdsInput& In, TTdsReply& Reply);

    TTdsSession& FSession;
    std::vector<TTdsColumn> FColumns;
};
