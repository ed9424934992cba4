// Lists every quota record of the connected server through the client's enumeration: the
// context is ended before and after, and records the server asks to skip are skipped.
#pragma once

#include "client/axcli.h"

#include <functional>

// Calls `visit` with each listed record; returns 0, or the status that ended the listing early.
uint32_t ListRecords(AXCli& client, const std::function<void(const AllotrixBaseDbRec&)>& visit);
