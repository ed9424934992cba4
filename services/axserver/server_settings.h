// The quota service's settings in the registry and the keys it creates for the console.
#pragma once

#include <windows.h>

#include <string>

constexpr char kQuotaServiceName[] = "AXServer";
constexpr char kPolicyServiceName[] = "AXPolicy";
// HKEY_LOCAL_MACHINE key of the service's own settings: "StoreFolder" (REG_SZ) and "ServerKind"
// (REG_DWORD).
constexpr char kParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\AXServer\\Parameters";

// A copy of "StoreFolder" that removing the service leaves in place, so that installing it again
// finds the records where they are.
constexpr char kKeptSettingsKey[] = "Software\\Ostrel\\Allotrix\\AXServer";

// The folder of the record store: the "StoreFolder" value, else the copy kept from an earlier
// installation, else the default below the common application data folder.
std::string StoreFolderSetting();
std::string DefaultStoreFolder();
// The "ServerKind" value; 0 (the full product) when missing.
int ServerKindSetting();
// Writes "StoreFolder" and its kept copy.
DWORD WriteStoreFolderSetting(const std::string& folder);
DWORD WriteServerKindSetting(DWORD kind);

// Creates the keys the console reads on a server, with their auditing values when missing.
DWORD CreateConsoleKeys();
