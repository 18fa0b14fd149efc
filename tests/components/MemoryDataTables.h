// The program's two in-memory tables as their windows' forms declare them: the task table with the
// 23 task fields and the log table with the six log fields, read from form text as the windows
// read theirs, and small helpers over them.
#pragma once

#include "RxMemDS.h"

#include "Filer.h"
#include "Streams.h"

#include <string>
#include <vector>

namespace memory_data_tests {

inline std::string FieldDefItem(const char* Name, const char* Type, int Size = 0) {
    std::string S = "    item\n      Name = '" + std::string(Name) + "'\n      DataType = " + Type + "\n";
    if (Size)
        S += "      Size = " + std::to_string(Size) + "\n";
    return S + "    end\n";
}

// Reads a table from the text of its form object.
inline TRxMemoryData* ReadTable(const std::string& FormText) {
    RxMemDSInitialization();
    TStringStream Text(FormText);
    TMemoryStream Binary;
    ObjectTextToBinary(&Text, &Binary);
    Binary.SetPosition(0);
    return As<TRxMemoryData>(Binary.ReadComponent(nullptr));
}

// The main window's task table, fields in the task record's order.
inline TRxMemoryData* TaskTable() {
    struct Def {
        const char* Name;
        const char* Type;
        int Size;
    };
    const Def Defs[] = {
        {"ID", "ftInteger", 0},         {"DBName", "ftString", 250},         {"Hour", "ftInteger", 0},
        {"Min", "ftInteger", 0},        {"DateLast", "ftDateTime", 0},       {"Result", "ftString", 255},
        {"Path", "ftString", 255},      {"Type", "ftString", 250},           {"EveryType1", "ftInteger", 0},
        {"OnWeekDaysType1", "ftBoolean", 0}, {"EveryType2", "ftInteger", 0}, {"DayType2", "ftString", 250},
        {"OnceType3", "ftInteger", 0},  {"DateType3", "ftDateTime", 0},      {"MonthType4", "ftString", 250},
        {"EveryWeekType4", "ftInteger", 0}, {"DailyOnType1", "ftBoolean", 0}, {"EveryHour", "ftInteger", 0},
        {"Server", "ftString", 250},    {"StrConnect", "ftString", 1000},    {"bitArch", "ftBoolean", 0},
        {"bitPwdArch", "ftBoolean", 0}, {"strPwdArch", "ftString", 20},
    };
    std::string Text = "object MemSettitngs: TRxMemoryData\n  FieldDefs = <\n";
    for (const Def& D : Defs)
        Text += FieldDefItem(D.Name, D.Type, D.Size);
    Text += "  >\nend\n";
    return ReadTable(Text);
}

// The log viewer's table.
inline TRxMemoryData* LogTable() {
    return ReadTable("object rxMem: TRxMemoryData\n  FieldDefs = <\n" + FieldDefItem("memID", "ftInteger") +
                     FieldDefItem("memDateTime", "ftDateTime") + FieldDefItem("memRes", "ftString", 255) +
                     FieldDefItem("memServer", "ftString", 255) + FieldDefItem("memDB", "ftString", 255) +
                     FieldDefItem("memPathFile", "ftString", 255) + "  >\nend\n");
}

inline const std::string TaskConnection =
    "Provider=SQLOLEDB.1|Integrated Security=SSPI|Persist Security Info=False|Initial Catalog=master|Data Source=SRV";

// One task as the wizard saves it: every field of the record set.
inline void SetTask(TDataSet* T, int ID, const std::string& DBName) {
    T->FieldByName("ID")->SetAsInteger(ID);
    T->FieldByName("DBName")->SetAsString(DBName);
    T->FieldByName("Hour")->SetAsInteger(ID % 24);
    T->FieldByName("Min")->SetAsInteger(ID % 60);
    T->FieldByName("DateLast")->SetAsDateTime(45000.5 + ID);
    T->FieldByName("Result")->SetAsString("insert_new_task");
    T->FieldByName("Path")->SetAsString("D:\\Backup\\" + DBName);
    T->FieldByName("Type")->SetAsString("Type" + std::to_string(1 + ID % 4));
    T->FieldByName("EveryType1")->SetAsInteger(1);
    T->FieldByName("OnWeekDaysType1")->SetAsBoolean(ID % 2 == 0);
    T->FieldByName("EveryType2")->SetAsInteger(2);
    T->FieldByName("DayType2")->SetAsString("1,3,5");
    T->FieldByName("OnceType3")->SetAsInteger(ID % 2);
    T->FieldByName("DateType3")->SetAsDateTime(45100.0);
    T->FieldByName("MonthType4")->SetAsString("1,2,3,4,5,6,7,8,9,10,11,12");
    T->FieldByName("EveryWeekType4")->SetAsInteger(15);
    T->FieldByName("DailyOnType1")->SetAsBoolean(true);
    T->FieldByName("EveryHour")->SetAsInteger(3);
    T->FieldByName("Server")->SetAsString("SRV\\SQL" + std::to_string(ID % 3));
    T->FieldByName("StrConnect")->SetAsString(TaskConnection);
    T->FieldByName("bitArch")->SetAsBoolean(true);
    T->FieldByName("bitPwdArch")->SetAsBoolean(ID % 3 == 0);
    T->FieldByName("strPwdArch")->SetAsString("pw" + std::to_string(ID));
}

inline void AppendTask(TDataSet* T, int ID, const std::string& DBName) {
    T->Append();
    SetTask(T, ID, DBName);
    T->Post();
}

// The values of one field, walking from the first record.
inline std::vector<std::string> Column(TDataSet* T, const char* Field) {
    std::vector<std::string> R;
    for (T->First(); !T->Eof(); T->Next())
        R.push_back(T->FieldByName(Field)->AsString());
    return R;
}

inline LongInt BookmarkID(const TBookmark& B) {
    LongInt ID = 0;
    if (B.size() >= sizeof ID)
        std::memcpy(&ID, B.data(), sizeof ID);
    return ID;
}

inline TBookmark BookmarkOf(LongInt ID) {
    TBookmark B(sizeof ID);
    std::memcpy(B.data(), &ID, sizeof ID);
    return B;
}

}  // namespace memory_data_tests
