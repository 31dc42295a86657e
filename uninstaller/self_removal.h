// How unwise.exe removes its own file. A running program cannot delete its own file (Windows
// keeps the image open), so when everything else has gone it copies itself to a new file of its
// own in the user's temporary folder ("unwise-PID-N.tmp"), holds it open against changes while
// it checks that the copy is this program and starts it with the switch below, a handle on this
// process it may inherit and the path of unwise.exe. The copy waits
// until this process has ended, then deletes unwise.exe (and setup.log and setup.lst beside it,
// should they still be there), removes the install folder when it is empty, and asks Windows to
// delete the copy itself at the next restart (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT): that
// one file in the temporary folder is all that remains until then. When the copy cannot be made
// or started, unwise.exe and the empty install folder are scheduled for deletion at the next
// restart instead.
#pragma once

namespace unwise {

constexpr const wchar_t* kRemoveSwitch = L"/remove-uninstaller";

// When this process is the copy (its command line carries kRemoveSwitch): does the copy's work
// and returns true with its exit code. Otherwise returns false at once.
bool RunAsRemover(int* exitCode);

// Starts the copy for the running program `exePath` (its install folder beside it).
void RemoveSelfAfterExit(const wchar_t* exePath);

// The copy's work once `parent` (a process handle, closed here) has ended: `uninstaller` is the
// full path of unwise.exe. 0 when it went, 2 when the path is refused (not an unwise.exe in a
// plain folder: nothing is touched), 4 when it is left to Windows for the next restart.
int RemoveUninstaller(void* parent, const wchar_t* uninstaller);

// Opens `copy` so that nothing can change, rename or delete it while the handle is open, and
// checks that it holds exactly the bytes of `exePath`. The handle, or null when it does not.
void* GuardCopy(const wchar_t* copy, const wchar_t* exePath);

}  // namespace unwise
