// The stack of the sockets of the Berkeley interface: the local address list and the raw calls
// every such stack provides.
#pragma once

#include "IdStack.h"
#include "Lists.h"

class TIdStackBSDBase : public TIdStack {
    DECLARE_CLASS(TIdStackBSDBase, TIdStack)
public:
    TIdStackBSDBase();
    ~TIdStackBSDBase() override;

    TStrings* LocalAddresses();

    virtual int WSCloseSocket(TIdStackSocketHandle Socket) = 0;
    virtual int WSRecv(TIdStackSocketHandle Socket, void* Buffer, int Length, int Flags) = 0;
    virtual int WSSend(TIdStackSocketHandle Socket, const void* Buffer, int Length, int Flags) = 0;
    virtual int WSShutdown(TIdStackSocketHandle Socket, int How) = 0;
    virtual bool CheckIPVersionSupport(TIdIPVersion IPVersion) = 0;
    virtual void SetSocketOptionBuffer(TIdStackSocketHandle Socket, int Level, int OptName, const void* Value,
                                       int Length) = 0;
    // The port of a service name, or the name as a number; EIdInvalidServiceName otherwise.
    virtual Word WSGetServByName(const std::string& ServiceName) = 0;
    // The service's name and its aliases (empty when unknown); the caller frees the list.
    virtual TStrings* WSGetServByPort(Word Port) = 0;
    virtual int RecvFrom(TIdStackSocketHandle Socket, void* Buffer, int Length, int Flags, std::string& FromIP,
                         Word& FromPort, TIdIPVersion& IPVersion) = 0;
    virtual void WSSendTo(TIdStackSocketHandle Socket, const void* Buffer, int Length, int Flags,
                          const std::string& IP, Word Port, TIdIPVersion IPVersion = Id_IPv4) = 0;
    virtual TIdStackSocketHandle WSSocket(int Family, int StructType, int Protocol, bool Overlapped = false) = 0;
    virtual void GetSocketOptionBuffer(TIdStackSocketHandle Socket, int Level, int OptName, void* Value,
                                       int& Length) = 0;
    virtual void SetBlocking(TIdStackSocketHandle Socket, bool Blocking) = 0;
    virtual bool WouldBlock(int Result) = 0;

protected:
    TOwned<TStringList> FLocalAddresses;
};

TIdStackBSDBase* GBSDStack();
