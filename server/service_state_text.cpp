#include "server/service_state_text.h"

#include "base/error_text.h"
#include "res/resource.h"
#include "ui/message_box.h"
#include "base/resource_text.h"

namespace {

constexpr DWORD kStatusTextSize = 260;

} // namespace

ServiceStateText DescribeServiceState(DWORD error, DWORD state) {
    ServiceStateText text;
    if (error != ERROR_SUCCESS) {
        text.state = base::LoadText(IDS_SERVICE_STOPPED);
        if (error == ERROR_SERVICE_DOES_NOT_EXIST || error == ERROR_INVALID_HANDLE) {
            text.status = base::LoadText(IDS_SERVICE_NOT_INSTALLED);
        } else {
            char reason[kStatusTextSize] = {};
            GetErrorText(error, reason, sizeof reason);
            text.status = reason;
            text.status.erase(text.status.find_last_not_of(" \r\n") + 1);
        }
        return text;
    }
    UINT id = IDS_SERVICE_STOPPED;
    switch (state) {
    case SERVICE_START_PENDING:
    case SERVICE_RUNNING:
        id = IDS_SERVICE_RUNNING;
        text.running = true;
        break;
    case SERVICE_CONTINUE_PENDING:
        id = IDS_SERVICE_PENDING;
        break;
    case SERVICE_PAUSE_PENDING:
    case SERVICE_PAUSED:
        id = IDS_SERVICE_PAUSED;
        break;
    default:
        break;
    }
    text.state = base::LoadText(id);
    return text;
}
