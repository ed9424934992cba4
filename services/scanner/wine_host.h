// The Linux host beneath Wine, for tests, benchmarks and demonstration data: under Wine a file's
// owner is the Linux user who owns it (see docs/wine.md), so giving files other owners means
// changing their Linux owner. Nothing here works on Windows, where RunningUnderWine is false.
#pragma once

#include <windows.h>

#include <string>

bool RunningUnderWine();

// The Linux path of a Windows path ("C:\x" -> ".../drive_c/x"); "" when not under Wine.
std::string HostPath(const std::string& path);

// The Windows path of a Linux path ("/x/y" -> "Z:\x\y" or the drive that maps it); "" when not
// under Wine.
std::string WindowsPathOfHost(const std::string& hostPath);

// A text quoted for the Linux shell.
std::string ShellQuoted(const std::string& text);

// Runs `script` with the host's /bin/sh and waits for it to end, at most `timeoutMs`. Returns the
// script's exit status, or -1 when it could not be run or did not end in time. (Wine gives no
// usable handle of a Linux process: the end is seen through a file the script writes last.)
int RunHostShell(const std::string& script, DWORD timeoutMs);
