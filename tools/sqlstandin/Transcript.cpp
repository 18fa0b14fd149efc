#include "Transcript.h"

#include "Text.h"

#include <stdexcept>

namespace standin {

Transcript::Transcript(const std::wstring& Path) {
    if (Path.empty())
        return;
    FFile = _wfopen(Path.c_str(), L"ab");
    if (!FFile)
        throw std::runtime_error("cannot open the transcript " + ToUtf8(Path));
}

Transcript::~Transcript() {
    if (FFile)
        std::fclose(FFile);
}

void Transcript::Write(const std::string& Session, const std::string& Event, const std::string& Details) {
    if (!FFile)
        return;
    std::lock_guard<std::mutex> G(FLock);
    std::string Line = std::to_string(++FSeq) + " " + Session + " " + Event;
    if (!Details.empty())
        Line += " " + Escape(Details);
    Line += "\n";
    std::fwrite(Line.data(), 1, Line.size(), FFile);
    std::fflush(FFile);
}

}  // namespace standin
