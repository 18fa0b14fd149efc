// The run-time type unit of the utility library: only its list of type-information records built at
// run time, which nothing in the system adds to, and its version banner.
#pragma once

// A type-information record built at run time, shared by counting its users.
struct TJclDynamicTypeInfo {
    enum TKind { tkOther, tkEnumeration, tkSet };
    TKind Kind = tkOther;
    // The element type of a set, the base type of an enumeration (an enumeration may be its own
    // base type); removed along with the record.
    TJclDynamicTypeInfo* Related = nullptr;
    int RefCount = 1;
};

// The list owns what it holds; it is safe to use from several threads.
void AddDynamicTypeInfo(TJclDynamicTypeInfo* Info);
// Takes Info out of the list and drops one count; at 0 frees it, after removing its related type
// the same way (unless an enumeration is its own base).
void RemoveDynamicTypeInfo(TJclDynamicTypeInfo* Info);
int DynamicTypeInfoCount();

// Start-up creates the list empty; shut-down removes its records from the last to the first.
void JclRTTIInitialization();
void JclRTTIFinalization();
