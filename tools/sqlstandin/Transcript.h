// The transcript: one line per event, flushed at once, so that tests can read it while the stand-in runs.
// Line: "<seq> <session> <event> <details>"; session "-" for events of no session (listen, ssrp).
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace standin {

class Transcript {
public:
    // An empty path keeps no transcript.
    explicit Transcript(const std::wstring& Path);
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Details are UTF-8; they are escaped so that each event stays on one line.
    void Write(const std::string& Session, const std::string& Event, const std::string& Details);

private:
    std::mutex FLock;
    std::FILE* FFile = nullptr;
    unsigned long FSeq = 0;
};

}  // namespace standin
