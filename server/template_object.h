// Applying a template straight to an object's quota on the server.
#pragma once

#include "client/axcli.h"
#include "server/quota_edit_record.h"

#include <cstdint>

// Reads the quota of `object` (its object and owner) from the server `client` is connected to
// (a quota that does not exist yet starts from a fresh record), merges `source` into it, keeps
// the object's identity, resolves device-capacity quotas into bytes and saves it. On success
// `object` takes the saved values. Returns the client library's status, 0 on success; on
// failure `object` is unchanged.
uint32_t ApplyTemplateToObject(AXCli& client, AllotrixBaseDbRec& object,
                               const QuotaEditRecord& source);
