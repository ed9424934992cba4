// Reading a quota template from a server's registry into a template record.
#pragma once

#include "server/quota_edit_record.h"

#include <windows.h>

// True for the names of the two fallback templates kept among the filter driver's parameters,
// "<User Fallback>" and "<Directory Fallback>", in any letter case.
bool IsFallbackTemplateName(const char* name);

// Reads template `name` from the registry of `server` (null = this computer) into `record`,
// which the caller has freshly constructed: every value found is applied, values missing or
// larger than their limit are skipped. `fallback` (see IsFallbackTemplateName) selects where
// the template is kept. When `association` is not null it receives the template's association
// text (at most 260 bytes with the terminating zero). Returns the registry's error code for a
// server that cannot be reached or a template key that cannot be opened, else 0.
LONG ReadTemplate(const char* server, const char* name, char* association, QuotaEditRecord& record,
                  bool fallback);
