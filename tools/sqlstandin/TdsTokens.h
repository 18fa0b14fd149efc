// Encoding of reply tokens for the negotiated TDS version (7.1 or 7.2).
#pragma once

#include "Results.h"
#include "TdsWire.h"

namespace standin::tds {

enum Token : std::uint8_t {
    ColMetadata = 0x81, RowToken = 0xD1, Done = 0xFD, DoneProc = 0xFE, DoneInProc = 0xFF, ErrorToken = 0xAA,
    InfoToken = 0xAB, EnvChange = 0xE3, LoginAck = 0xAD, ReturnStatus = 0x79, SspiToken = 0xED
};
enum DoneStatus : std::uint16_t { DoneFinal = 0, DoneMore = 1, DoneError = 2, DoneCount = 0x10, DoneAttn = 0x20 };

// Cyrillic_General_CI_AS: LCID 0x0419, case, kana and width ignored, Windows collation; code page 1251.
inline constexpr std::uint8_t Collation[5] = {0x19, 0x04, 0xD0, 0x00, 0x00};
inline constexpr unsigned CollationCodePage = 1251;

class TokenWriter {
public:
    TokenWriter(bool Tds72, std::wstring ServerName) : F72(Tds72), FServer(std::move(ServerName)) {}
    bool Tds72() const { return F72; }

    void ColumnsMetadata(Writer& W, const std::vector<Column>& Columns) const;
    void RowData(Writer& W, const std::vector<Column>& Columns, const Row& R) const;
    void DoneToken(Writer& W, std::uint8_t Kind, std::uint16_t Status, std::uint16_t CurCmd, std::uint64_t Count) const;
    void MessageToken(Writer& W, const ServerMessage& M, const std::wstring& Proc = {}) const;
    void ReturnStatusToken(Writer& W, std::int32_t Status) const;
    void EnvDatabase(Writer& W, const std::wstring& New, const std::wstring& Old) const;
    void EnvCollation(Writer& W) const;
    void EnvPacketSize(Writer& W, std::size_t New, std::size_t Old) const;
    void LoginAckToken(Writer& W, const std::uint8_t Version[4], const std::string& ProductVersion) const;

private:
    void TypeInfo(Writer& W, const Column& C) const;
    bool F72;
    std::wstring FServer;
};

}  // namespace standin::tds
