// The store folder belongs to the service: only the local system and the administrators may
// reach the records in it.
#pragma once

#include <windows.h>

#include <string>

// Creates the store folder (and its missing parents) with rights for SYSTEM and Administrators
// only, or restricts an existing folder that grants more or has another owner. `note` tells what
// was changed, or that the file system kept other rights; 0 or the error that left the folder
// open to others.
DWORD SecureStoreFolder(const std::string& folder, std::string& note);
