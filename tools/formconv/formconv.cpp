// formconv: converts a text form file to the binary component stream (the build's step before
// the resource compiler) or back.
//
//   formconv [-b] <form.dfm> <form.bin>    text to binary (default)
//   formconv -t <form.bin> <form.dfm>      binary to text
//
// Built with the project's toolchain and run under Wine by the build; Unix paths are accepted.
#include "Classes.h"

#include <cstdio>
#include <string>

namespace {
std::string HostPath(std::string P) {
    if (!P.empty() && P[0] == '/') {
        P = "Z:" + P;
        for (char& C : P)
            if (C == '/')
                C = '\\';
    }
    return P;
}
}  // namespace

int main(int argc, char** argv) {
    bool ToText = false;
    int I = 1;
    if (I < argc && (std::string(argv[I]) == "-t" || std::string(argv[I]) == "-b"))
        ToText = std::string(argv[I++]) == "-t";
    if (argc - I != 2) {
        std::fprintf(stderr, "usage: formconv [-b|-t] <input> <output>\n");
        return 2;
    }
    std::string In = HostPath(argv[I]), Out = HostPath(argv[I + 1]);
    try {
        TMemoryStream Input;
        Input.LoadFromFile(In);
        TMemoryStream Output;
        if (ToText)
            ObjectBinaryToText(&Input, &Output);
        else
            ObjectTextToBinary(&Input, &Output);
        Output.SaveToFile(Out);
    } catch (const Exception& E) {
        std::fprintf(stderr, "%s: %s\n", argv[I], E.Message().c_str());
        DeleteFileA(Out.c_str());
        return 1;
    }
    return 0;
}
