// The address book of the workstation's mail system, reached through Simple MAPI: the library
// is loaded at the start of each operation and freed at its end.
#pragma once

#include <windows.h>

#include <string>

struct ReportMailInfo;

namespace app {

enum MapiLoadResult { MapiLoaded = 0, MapiLibraryMissing = 2, MapiEntryPointMissing = 4 };

// Loads "MAPI32.DLL" and looks up its six entry points; nothing stays loaded on failure.
int LoadMapi();
// Forgets the entry points and frees the library.
void UnloadMapi();

// The text for a Simple MAPI status; none for success and for the user's cancel.
std::string MapiStatusText(ULONG status);

// Shows the address book with the block's To and Cc names (logging on with its profile when it
// has one) and writes the chosen recipients back into To and Cc, ";" after each but the last
// one returned. Returns a text for the user when that failed; the block is then unchanged, as it
// is when the user cancels.
std::string ShowAddressBook(ReportMailInfo& mail);

} // namespace app
