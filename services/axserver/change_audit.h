// While the quota service's auditing switch ("ServerAuditing") is on, every quota change is
// written to the event log (source AXServer) and to AXServer.log in the store folder.
#pragma once

#include "client/records.h"

#include <string>

// Reads the switch; called once when the service starts (the console restarts the service after
// switching it).
void StartChangeAudit(const std::string& storeFolder);

void AuditQuotaSaved(const AllotrixDbRec& record);
void AuditQuotaDeleted(const std::string& device, const std::string& file,
                       const std::string& owner);
