// Client messages of TDS: packet framing, PRELOGIN, LOGIN7, SQL batch, RPC and attention.
#pragma once

#include "TdsStream.h"
#include "TdsTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace TdsPacket {
enum : std::uint8_t { SqlBatch = 0x01, Rpc = 0x03, Reply = 0x04, Attention = 0x06, Login7 = 0x10, Sspi = 0x11, Prelogin = 0x12 };
enum : std::uint8_t { StatusEom = 0x01 };
inline constexpr size_t HeaderSize = 8;
inline constexpr size_t MaxSize = 32767;
}

namespace TdsEncryption {
enum : std::uint8_t { Off = 0x00, On = 0x01, NotSupported = 0x02, Required = 0x03 };
}

// Cuts a message into packets of at most PacketSize bytes (header included), numbered from 1.
TTdsBytes TdsFrame(std::uint8_t Type, const TTdsBytes& Payload, size_t PacketSize);

// PRELOGIN: VERSION, ENCRYPTION, INSTOPT (no instance), THREADID, terminator.
TTdsBytes BuildPrelogin(const std::uint8_t Version[6], std::uint8_t Encryption, std::uint32_t ThreadId);

struct TTdsPreloginReply {
    std::uint8_t Version[6] = {};
    std::uint8_t Encryption = TdsEncryption::NotSupported;  // an absent option counts as not supported
    std::uint8_t InstOpt = 0;
};
// Checks the option table against the payload; a malformed reply is a protocol error.
TTdsPreloginReply ParsePreloginReply(const TTdsBytes& Payload);

struct TTdsLogin7 {
    std::uint32_t TdsVersion = 0x71000001;
    std::uint32_t PacketSize = 4096;
    std::uint32_t ClientProgVer = 0x07000000;
    std::uint32_t ClientPid = 0;
    std::uint8_t OptionFlags1 = 0xE0;  // notices of database and language changes; a bad database fails
    std::uint8_t OptionFlags2 = 0x03;  // language failure fails; ODBC session defaults (no text size cut)
    std::uint8_t TypeFlags = 0;
    std::uint8_t OptionFlags3 = 0;
    std::int32_t ClientTimeZone = 0;
    std::uint32_t ClientLcid = 0;
    std::wstring HostName, UserName, Password, AppName, ServerName, LibraryName, Language, Database;
    std::uint8_t ClientId[6] = {};
    TTdsBytes Sspi;  // integrated security: the first token; sets fIntSecurity
};
// The LOGIN7 payload (no packet header). The fixed part is 94 bytes from 7.2 on, 86 before.
TTdsBytes BuildLogin7(const TTdsLogin7& L);
// Password obfuscation: each byte of the UCS-2 text with its nibbles swapped, then XOR 0xA5.
TTdsBytes ObfuscatePassword(const std::wstring& Password);

// ALL_HEADERS with the transaction descriptor: required before batch and RPC data from 7.2 on.
void WriteAllHeaders(TTdsWriter& W, std::uint64_t TransactionDescriptor);

TTdsBytes BuildSqlBatch(const std::wstring& Sql, bool AllHeaders, std::uint64_t TransactionDescriptor = 0);

// A named input parameter of sp_executesql. Its SQL type follows the value: text as nvarchar
// (ntext when longer than 4000 characters), integers as int or bigint, floats as float, booleans
// as bit, date-times as datetime, decimals as decimal, bytes as varbinary (image beyond 8000), GUIDs
// as uniqueidentifier, NULL as nvarchar.
struct TTdsParam {
    std::wstring Name;  // with or without the leading "@"
    TTdsValue Value;
};

// The declaration of one parameter as sp_executesql's second argument lists it ("@p nvarchar(4000)").
std::wstring TdsParamDeclaration(const TTdsParam& P);

// RPC of sp_executesql (procedure id 10): the statement, the declarations, then the values.
// Collation: the session's, for the text parameters.
TTdsBytes BuildSpExecuteSql(const std::wstring& Sql, const std::vector<TTdsParam>& Params, bool AllHeaders,
                            std::uint64_t TransactionDescriptor, const TTdsCollation& Collation);
