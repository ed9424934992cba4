// Merging a template record into a quota record, and ordering a record's thresholds.
#pragma once

#include "server/quota_edit_record.h"

// Copies into `target` every field of `source` that the source's exclusion bits do not exclude.
// A flag is copied both ways: on in the target when on in the source, off otherwise.
// The thresholds keep their positions.
void ApplyTemplate(AllotrixDbRec& target, const QuotaEditRecord& source);

// Orders the five thresholds by value, highest first (equal values keep their order); each
// threshold's action record and action exclusion word move with its value. Record-level bits,
// the "trigger below" attributes among them, stay where they are.
void SortThresholds(QuotaEditRecord& record);
