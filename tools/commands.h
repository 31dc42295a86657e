// The commands of sfxpack. Each takes the arguments after its own name and returns the exit
// status: 0 done, 1 an input was refused, 2 the command line was wrong.
#pragma once

#include <string>

namespace sfxpack {

enum ExitStatus { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

struct Command {
    const char* name;
    const char* synopsis;
    const char* summary;
    int (*run)(int argc, char** argv);
};

int RunInfo(int argc, char** argv);
int RunBuild(int argc, char** argv);
int RunVerify(int argc, char** argv);
int RunTavqPack(int argc, char** argv);
int RunTavqUnpack(int argc, char** argv);
int RunExtract(int argc, char** argv);
int RunSign(int argc, char** argv);

// Prints "sfxpack: <message>" to standard error and returns `status`.
int Fail(int status, const std::string& message);
// Whether the arguments ask for help.
bool WantsHelp(int argc, char** argv);

}  // namespace sfxpack
