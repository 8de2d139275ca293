#pragma once

#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"

class WWindow;

// What the user is told when a change of the job catalogue was not written: which file, and why.
WString WriteFailureText(const WriteResult& result);
// Shows that text in an error box; nothing for a result that is ok.
void ReportWriteFailure(WWindow* owner, const WriteResult& result);
