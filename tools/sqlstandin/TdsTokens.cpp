#include "TdsTokens.h"

#include "Text.h"

#include <cstdio>

namespace standin::tds {

static std::uint8_t NumericBytes(std::uint8_t Precision) {
    return Precision <= 9 ? 5 : Precision <= 19 ? 9 : Precision <= 28 ? 13 : 17;
}

void TokenWriter::TypeInfo(Writer& W, const Column& C) const {
    switch (C.Type) {
    case ColumnType::Int:
        W.U8(0x26), W.U8(4);
        break;
    case ColumnType::BigInt:
        W.U8(0x26), W.U8(8);
        break;
    case ColumnType::Bit:
        W.U8(0x68), W.U8(1);
        break;
    case ColumnType::VarChar:
    case ColumnType::Char:
        W.U8(C.Type == ColumnType::VarChar ? 0xA7 : 0xAF);
        W.U16(C.Size);
        W.Raw(Collation, 5);
        break;
    case ColumnType::NVarChar:
    case ColumnType::NChar:
        W.U8(C.Type == ColumnType::NVarChar ? 0xE7 : 0xEF);
        W.U16(static_cast<std::uint16_t>(C.Size * 2));
        W.Raw(Collation, 5);
        break;
    case ColumnType::Numeric:
        W.U8(0x6C), W.U8(NumericBytes(C.Precision)), W.U8(C.Precision), W.U8(C.Scale);
        break;
    case ColumnType::Guid:
        W.U8(0x24), W.U8(16);
        break;
    }
}

void TokenWriter::ColumnsMetadata(Writer& W, const std::vector<Column>& Columns) const {
    W.U8(ColMetadata);
    W.U16(static_cast<std::uint16_t>(Columns.size()));
    for (auto& C : Columns) {
        if (F72)
            W.U32(0);
        else
            W.U16(0);
        W.U16(0x0001);  // nullable, read-only
        TypeInfo(W, C);
        W.BVarChar(C.Name);
    }
}

static void LittleEndian(Writer& W, std::uint64_t V, unsigned Bytes) {
    for (unsigned I = 0; I < Bytes; ++I, V >>= 8)
        W.U8(static_cast<std::uint8_t>(V));
}

void TokenWriter::RowData(Writer& W, const std::vector<Column>& Columns, const Row& R) const {
    W.U8(RowToken);
    for (std::size_t I = 0; I < Columns.size(); ++I) {
        const Column& C = Columns[I];
        const Value& V = I < R.size() ? R[I] : Value{};
        const bool Null = V.K == Value::Null;
        switch (C.Type) {
        case ColumnType::Int:
        case ColumnType::BigInt:
        case ColumnType::Bit: {
            unsigned Size = C.Type == ColumnType::Int ? 4 : C.Type == ColumnType::BigInt ? 8 : 1;
            W.U8(static_cast<std::uint8_t>(Null ? 0 : Size));
            if (!Null)
                LittleEndian(W, static_cast<std::uint64_t>(V.Int), Size);
            break;
        }
        case ColumnType::VarChar:
        case ColumnType::Char:
        case ColumnType::NVarChar:
        case ColumnType::NChar: {
            if (Null) {
                W.U16(0xFFFF);
                break;
            }
            const bool Fixed = C.Type == ColumnType::Char || C.Type == ColumnType::NChar;
            if (C.Type == ColumnType::VarChar || C.Type == ColumnType::Char) {
                std::string Bytes = ToCodePage(V.Str, CollationCodePage).substr(0, C.Size);
                if (Fixed)
                    Bytes.resize(C.Size, ' ');
                W.U16(static_cast<std::uint16_t>(Bytes.size()));
                W.Raw(Bytes.data(), Bytes.size());
            } else {
                std::wstring S = V.Str.substr(0, C.Size);
                if (Fixed)
                    S.resize(C.Size, L' ');
                W.U16(static_cast<std::uint16_t>(S.size() * 2));
                W.Ucs2(S);
            }
            break;
        }
        case ColumnType::Numeric: {
            if (Null) {
                W.U8(0);
                break;
            }
            std::uint8_t Len = NumericBytes(C.Precision);
            W.U8(Len);
            W.U8(V.Int < 0 ? 0 : 1);
            std::uint64_t Mag = V.Int < 0 ? static_cast<std::uint64_t>(-(V.Int + 1)) + 1 : static_cast<std::uint64_t>(V.Int);
            LittleEndian(W, Mag, Len - 1u < 8 ? Len - 1u : 8);
            for (unsigned K = 8; K < Len - 1u; ++K)
                W.U8(0);
            break;
        }
        case ColumnType::Guid:
            if (Null) {
                W.U8(0);
            } else {
                W.U8(16);
                W.Raw(V.Guid.data(), 16);
            }
            break;
        }
    }
}

void TokenWriter::DoneToken(Writer& W, std::uint8_t Kind, std::uint16_t Status, std::uint16_t CurCmd,
                            std::uint64_t Count) const {
    W.U8(Kind);
    W.U16(Status);
    W.U16(CurCmd);
    if (F72)
        W.U64(Count);
    else
        W.U32(static_cast<std::uint32_t>(Count));
}

void TokenWriter::MessageToken(Writer& W, const ServerMessage& M, const std::wstring& Proc) const {
    W.U8(M.IsError ? ErrorToken : InfoToken);
    std::size_t LenAt = W.Size();
    W.U16(0);
    W.U32(static_cast<std::uint32_t>(M.Number));
    W.U8(M.State);
    W.U8(M.Class);
    W.UsVarChar(M.Text);
    W.BVarChar(FServer);
    W.BVarChar(Proc);
    if (F72)
        W.U32(1);
    else
        W.U16(1);
    W.PatchU16(LenAt, static_cast<std::uint16_t>(W.Size() - LenAt - 2));
}

void TokenWriter::ReturnStatusToken(Writer& W, std::int32_t Status) const {
    W.U8(ReturnStatus);
    W.U32(static_cast<std::uint32_t>(Status));
}

void TokenWriter::EnvDatabase(Writer& W, const std::wstring& New, const std::wstring& Old) const {
    W.U8(EnvChange);
    std::size_t LenAt = W.Size();
    W.U16(0);
    W.U8(1);
    W.BVarChar(New);
    W.BVarChar(Old);
    W.PatchU16(LenAt, static_cast<std::uint16_t>(W.Size() - LenAt - 2));
}

void TokenWriter::EnvCollation(Writer& W) const {
    W.U8(EnvChange);
    W.U16(8);
    W.U8(7);
    W.U8(5);
    W.Raw(Collation, 5);
    W.U8(0);
}

void TokenWriter::EnvPacketSize(Writer& W, std::size_t New, std::size_t Old) const {
    W.U8(EnvChange);
    std::size_t LenAt = W.Size();
    W.U16(0);
    W.U8(4);
    W.BVarChar(std::to_wstring(New));
    W.BVarChar(std::to_wstring(Old));
    W.PatchU16(LenAt, static_cast<std::uint16_t>(W.Size() - LenAt - 2));
}

void TokenWriter::LoginAckToken(Writer& W, const std::uint8_t Version[4], const std::string& ProductVersion) const {
    unsigned Major = 9, Minor = 0, Build = 0;
    std::sscanf(ProductVersion.c_str(), "%u.%u.%u", &Major, &Minor, &Build);
    W.U8(LoginAck);
    std::size_t LenAt = W.Size();
    W.U16(0);
    W.U8(1);  // T-SQL
    W.Raw(Version, 4);
    W.BVarChar(L"SQL Server");
    W.U8(static_cast<std::uint8_t>(Major));
    W.U8(static_cast<std::uint8_t>(Minor));
    W.U8(static_cast<std::uint8_t>(Build >> 8));
    W.U8(static_cast<std::uint8_t>(Build));
    W.PatchU16(LenAt, static_cast<std::uint16_t>(W.Size() - LenAt - 2));
}

}  // namespace standin::tds
