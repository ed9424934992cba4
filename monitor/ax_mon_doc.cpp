#include "monitor/ax_mon_doc.h"
#include "ui/message_box.h"

#include "base/error_text.h"
#include "base/message_wait.h"
#include "monitor/monitor_messages.h"
#include "monitor/record_filter.h"
#include "monitor/refresh_thread.h"
#include "base/resource_text.h"
#include "monitor/server_list.h"
#include "res/resource.h"

#include <new>

namespace monitor {

namespace {

HANDLE NewAutoResetEvent() {
    return CreateEventA(nullptr, FALSE, FALSE, nullptr);
}
// An event every waiter sees: a second stop may wait for the same end as the first.
HANDLE NewManualResetEvent() {
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

std::string LocalComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size))
        return {};
    return name;
}

} // namespace

CAXMonDoc::CAXMonDoc()
    : m_requestEvent(NewAutoResetEvent()), m_stopEvent(NewAutoResetEvent()),
      m_endedEvent(NewManualResetEvent()), m_cancelEvent(NewManualResetEvent()) {
    m_block.list = &m_incoming;
    m_block.requestEvent = m_requestEvent.Get();
    m_block.stopEvent = m_stopEvent.Get();
    m_block.endedEvent = m_endedEvent.Get();
}

CAXMonDoc::~CAXMonDoc() {
    if (!m_closed)
        OnCloseDocument();
}

bool CAXMonDoc::OnOpenDocument(const char* /*path*/) {
    try {
        m_server = LocalComputerName();
        m_objectName.clear();
        m_block.server = m_server;
        m_block.objectName[0] = '\0';
        if (!m_client) {
            m_client = std::make_unique<AXCli>();
            m_client->SetCancelEvent(m_cancelEvent.Get());
        }
        return LoadFirstSet();
    } catch (const std::bad_alloc&) {
        ShowMessage(base::LoadText(IDS_NOT_ENOUGH_MEMORY));
        return false;
    }
}

bool CAXMonDoc::LoadFirstSet() {
    for (const std::string& name : SplitServerList(m_server)) {
        uint32_t status = m_client->Connect(name.c_str());
        m_serverKind = m_client->ServerKind;
        // The tray shows from the start whether the service answers.
        if (m_mainWindow)
            SendMessageA(m_mainWindow, WM_AXMON_CONNECTED, status == kAxOk ? 1 : 0, 0);
        if (status != kAxOk) {
            if (!m_startedHidden)
                ShowMessage(base::FormatText(base::LoadText(IDS_UNABLE_TO_RETRIEVE),
                                             {ErrorText(status), name}));
        } else {
            m_client->EndContext();
            for (;;) {
                std::unique_ptr<MonitorEntry> entry(new (*m_displayedPool) MonitorEntry);
                status = m_client->Get(&entry->record, 1);
                if (status == kAxNoMoreRecords)
                    break;
                if (status == kAxSkipRecord)
                    continue;
                if (status != kAxOk) {
                    // Enumeration errors are shown even when started hidden; the records read so
                    // far stay and the client stays connected.
                    ShowMessage(base::FormatText(base::LoadText(IDS_UNABLE_TO_RETRIEVE),
                                                 {ErrorText(status), name}));
                    return true;
                }
                if (!IsListedRecord(entry->record, m_client->ServerKind))
                    continue;
                entry->serverName = name;
                m_displayed.push_back(std::move(entry));
            }
        }
        m_client->EndContext();
        m_client->Disconnect();
    }
    return true;
}

void CAXMonDoc::SetTitle(const char* /*title*/) {
    m_title = base::FormatText(base::LoadText(IDS_MONITOR_TITLE), {m_server});
}

bool CAXMonDoc::RequestRefresh(const EntryOrder& order) {
    if (!m_client || !m_requestEvent || !m_stopEvent || !m_endedEvent)
        return false;
    // A cycle still running delivers its result; a second request would race with it.
    const bool running = m_thread.Running();
    if (running && m_block.cycle == RefreshBlock::kRunning)
        return true;
    m_block.cycle = RefreshBlock::kIdle;
    if (!running) {
        m_block.lastRead = m_displayed;
        if (!m_thread.Start([this] { return RefreshThreadProc(&m_block); },
                            THREAD_PRIORITY_BELOW_NORMAL)) {
            m_block.lastRead.clear();
            return false;
        }
    }
    m_block.notifyWindow = m_view;
    m_block.mainWindow = m_mainWindow;
    m_block.client = m_client.get();
    m_block.entryPool = m_incomingPool.get();
    m_block.order = order;
    m_block.stopRequested = false;
    ResetEvent(m_cancelEvent.Get());
    ResetEvent(m_stopEvent.Get());
    ResetEvent(m_endedEvent.Get());
    m_block.cycle = RefreshBlock::kRunning;
    SetEvent(m_requestEvent.Get());
    return true;
}

bool CAXMonDoc::TakeIncoming() {
    if (m_block.cycle != RefreshBlock::kResultReady)
        return false;
    // The list shown so far stays until the next cycle, so that the view can compare its rows
    // with the new entries; the refresh thread drops it then, and its pool takes the next result.
    std::swap(m_displayed, m_incoming);
    std::swap(m_displayedPool, m_incomingPool);
    m_block.cycle = RefreshBlock::kIdle;
    return true;
}

void CAXMonDoc::StopThreadAndWait() {
    if (!m_thread.Running())
        return;
    m_block.stopRequested = true;
    SetEvent(m_stopEvent.Get());
    SetEvent(m_requestEvent.Get());
    // A call waiting for the service gives up at once: every step of the thread is bounded, so
    // this wait is too.
    SetEvent(m_cancelEvent.Get());
    base::WaitDeliveringSentMessages(m_endedEvent.Get());
    // The thread only returns after setting the ended event.
    m_thread.Join();
}

void CAXMonDoc::StopRefresh() {
    StopThreadAndWait();
}

void CAXMonDoc::OnCloseDocument() {
    StopThreadAndWait();
    m_block.requestEvent = m_block.stopEvent = m_block.endedEvent = nullptr;
    m_block.client = nullptr;
    m_client.reset();
    m_requestEvent.Reset();
    m_stopEvent.Reset();
    m_endedEvent.Reset();
    m_cancelEvent.Reset();
    m_displayed.clear();
    m_incoming.clear();
    m_block.lastRead.clear();
    m_closed = true;
}

void CAXMonDoc::ShowMessage(const std::string& text) {
    ui::ShowMessage(m_mainWindow, text);
}

} // namespace monitor
