// Tells the administrator what the record store's recovery found: in the Application event log,
// and in the service's settings for `axserver -status`.
#pragma once

#include "services/store/quota_store.h"

#include <windows.h>

#include <string>

// Logs and keeps the account of a start whose store recovery lost or moved something; a clean
// start leaves the last account in place.
void ReportStoreRecovery(const std::string& folder, const StoreRecovery& recovery);
// Logs and keeps a warning about the store.
void ReportStoreWarning(const std::string& text);
// Logs and keeps why the store could not be opened.
void ReportStoreFailure(const std::string& folder, DWORD error, const std::string& problem);
// The account kept by the last start that had something to tell; empty when none.
std::string LastStoreReport();
