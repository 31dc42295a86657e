// setup.exe /S: the installation without any window. The folder page's rules, each question's
// default answer, the finish page's default choices; failures are retried a few times and then
// skipped and counted, a full disk stops the copying. Returns the exit code.
#pragma once

#include "platform/command_line.h"

namespace ui {

int RunSilentInstall(const platform::CommandLine& options);

}  // namespace ui
