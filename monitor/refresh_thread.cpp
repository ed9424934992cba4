#include "monitor/refresh_thread.h"

#include "monitor/monitor_messages.h"
#include "monitor/record_filter.h"
#include "monitor/server_list.h"

#include <new>

namespace monitor {

namespace {

enum class PassResult { kDone, kStopped };

bool IsSignalled(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

bool IsStopSignalled(const RefreshBlock& block) {
    return block.stopRequested && IsSignalled(block.stopEvent);
}

// Reads every listed record of one connected server into the incoming list, and into `read` in
// the servers' order. A record read unchanged at its place of the last pass shares that pass's
// entry: only changed records take new memory, and the view sees at once that their rows stay.
PassResult ReadServer(RefreshBlock& block, const std::string& name, MonitorList& read) {
    AXCli& client = *block.client;
    std::unique_ptr<MonitorEntry> fresh;
    for (;;) {
        if (IsStopSignalled(block))
            return PassResult::kStopped;
        if (!fresh)
            fresh.reset(new (*block.entryPool, std::nothrow) MonitorEntry);
        if (!fresh)
            return PassResult::kDone;
        const uint32_t status = client.Get(&fresh->record, 1);
        if (status == kAxSkipRecord)
            continue;
        if (status == ERROR_OPERATION_ABORTED)
            return PassResult::kStopped;
        if (status != kAxOk)
            return PassResult::kDone;
        if (!IsListedRecord(fresh->record, client.ServerKind))
            continue;
        const size_t at = read.size();
        if (at < block.lastRead.size() && block.lastRead[at]->serverName == name &&
            SameRecord(block.lastRead[at]->record, fresh->record)) {
            read.push_back(block.lastRead[at]);
        } else {
            fresh->serverName = name;
            read.push_back(std::move(fresh));
        }
        block.list->push_back(read.back());
    }
}

PassResult RetrieveRecords(RefreshBlock& block) {
    MonitorList read;
    read.reserve(block.lastRead.size());
    for (const std::string& name : SplitServerList(block.server)) {
        AXCli& client = *block.client;
        const uint32_t status = client.Connect(name.c_str());
        // A connect given up because the thread stops says nothing about the service.
        if (status == ERROR_OPERATION_ABORTED)
            return PassResult::kStopped;
        if (block.mainWindow)
            SendMessageA(block.mainWindow, WM_AXMON_CONNECTED, status == kAxOk ? 1 : 0, 0);
        client.EndContext();
        const PassResult result = ReadServer(block, name, read);
        if (result == PassResult::kStopped)
            return result;
        client.EndContext();
        client.Disconnect();
    }
    block.lastRead = std::move(read);
    return PassResult::kDone;
}

PassResult RetrieveRecordsWithinMemory(RefreshBlock& block) {
    try {
        const PassResult result = RetrieveRecords(block);
        if (result == PassResult::kDone)
            SortEntries(*block.list, block.order, &block.sortMemory);
        return result;
    } catch (const std::bad_alloc&) {
        // Out of memory ends the pass quietly; what was gathered is delivered, as the server
        // gave it.
        block.order.columnType = kColNone;
        return PassResult::kDone;
    }
}

} // namespace

DWORD WINAPI RefreshThreadProc(void* parameter) {
    RefreshBlock& block = *static_cast<RefreshBlock*>(parameter);
    for (;;) {
        if (WaitForSingleObject(block.requestEvent, INFINITE) != WAIT_OBJECT_0)
            break;
        if (IsSignalled(block.stopEvent))
            break;
        // What the list holds (the result before last, or one never taken) is dropped here,
        // not on the user-interface thread.
        block.list->clear();
        if (RetrieveRecordsWithinMemory(block) == PassResult::kStopped)
            break;
        if (IsSignalled(block.stopEvent))
            break;
        block.cycle = RefreshBlock::kResultReady;
        PostMessageA(block.notifyWindow, WM_AXMON_REFRESHED, 0, 0);
    }
    block.list->clear();
    block.lastRead.clear();
    block.cycle = RefreshBlock::kIdle;
    SetEvent(block.endedEvent);
    return 0;
}

} // namespace monitor
