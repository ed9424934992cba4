// The monitor document: the quota records of the computer the console runs on, kept fresh by a
// refresh thread of its own.
//
// Opening loads a first set on the calling (user-interface) thread. Each RequestRefresh then runs
// one cycle on the refresh thread, which fills the incoming list and posts WM_AXMON_REFRESHED to
// the view; the view calls TakeIncoming, which makes the incoming list the displayed one.
// The open operation and the refresh thread send WM_AXMON_CONNECTED to the main window after
// each connect.
#pragma once

#include "client/axcli.h"
#include "monitor/entry_order.h"
#include "monitor/monitor_entry.h"
#include "base/handles.h"
#include "ui/thread.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace monitor {

// What the refresh thread reads. The user-interface thread writes it only while no cycle runs.
struct RefreshBlock {
    std::string server;        // ";"-separated server names
    char objectName[264] = {}; // object filter, empty: all objects
    AXCli* client = nullptr;
    MonitorList* list = nullptr;    // the incoming list
    EntryPool* entryPool = nullptr; // where the incoming list's entries are made
    HWND notifyWindow = nullptr;    // the view
    HWND mainWindow = nullptr;      // receives WM_AXMON_CONNECTED
    EntryOrder order;               // how the incoming list is sorted before it is handed over
    SortMemory sortMemory;          // the refresh thread's own
    // The entries of the last pass in the order the servers gave them: a record read again
    // unchanged shares its entry. Set from the displayed list when the thread starts.
    MonitorList lastRead;
    HANDLE requestEvent = nullptr;
    HANDLE stopEvent = nullptr;
    HANDLE endedEvent = nullptr;
    // Set before the stop event and cleared with it. The refresh thread tests the stop event
    // before each record only while this is set: testing an event asks the system, which under
    // Wine is a round trip to the wineserver of some 50 microseconds, half a second per 10,000
    // records.
    std::atomic<bool> stopRequested{false};
    // Who may touch the incoming list: the refresh thread while a cycle runs, the user-interface
    // thread otherwise. It also orders the two threads' accesses to the list.
    enum CycleState { kIdle, kRunning, kResultReady };
    std::atomic<int> cycle{kIdle};
};

class CAXMonDoc {
public:
    CAXMonDoc();
    virtual ~CAXMonDoc();
    CAXMonDoc(const CAXMonDoc&) = delete;
    CAXMonDoc& operator=(const CAXMonDoc&) = delete;

    // The window that receives WM_AXMON_CONNECTED and owns the document's message boxes.
    void SetMainWindow(HWND window) { m_mainWindow = window; }
    // The view, which receives WM_AXMON_REFRESHED.
    void SetView(HWND view) { m_view = view; }
    // While the console starts hidden, connect failures of the open operation show no message.
    void SetStartedHidden(bool hidden) { m_startedHidden = hidden; }

    // Connects to the local computer's quota service and loads its records into the displayed
    // list. `path` is ignored. Returns false only when memory runs out.
    bool OnOpenDocument(const char* path);
    // Sets the title to "... All objects on computer <server>"; the argument is ignored.
    void SetTitle(const char* title);
    const std::string& GetTitle() const { return m_title; }

    // Starts one refresh cycle on the refresh thread (starting the thread first if none runs),
    // whose result comes sorted in `order`. While a cycle is already running its result is
    // awaited instead. False when the thread cannot be started.
    bool RequestRefresh(const EntryOrder& order = {});
    // The order of the result of the last cycle.
    const EntryOrder& IncomingOrder() const { return m_block.order; }
    // Replaces the displayed list by the result of the last cycle; the entries shown before stay
    // valid until the next cycle starts. False, changing nothing, when no result is waiting (a
    // notice that outlived its result after the thread was stopped).
    bool TakeIncoming();
    // Stops the refresh thread, if one runs, and waits for its end, which a call of the thread
    // waiting for the service does not delay. Messages sent to this thread's windows meanwhile
    // (WM_AXMON_CONNECTED, a second close) are delivered while it waits.
    void StopRefresh();
    // Stops the refresh thread, releases the client and drops every entry.
    void OnCloseDocument();

    int ServerKind() const { return m_serverKind; }
    const std::string& Server() const { return m_server; }
    const std::string& ObjectName() const { return m_objectName; }
    MonitorList& DisplayedList() { return m_displayed; }
    const MonitorList& DisplayedList() const { return m_displayed; }
    bool IsRefreshThreadRunning() const { return m_thread.Running(); }

protected:
    // Normally taken from the client after each connect.
    void SetServerKind(int kind) { m_serverKind = kind; }
    // Shows a failure in a modal message box owned by the main window.
    virtual void ShowMessage(const std::string& text);

private:
    bool LoadFirstSet();
    void StopThreadAndWait();

    int m_serverKind = 0;
    std::unique_ptr<AXCli> m_client;
    std::string m_server;
    std::string m_objectName;
    // Each list's entries in a pool of their own; the pools outlive the lists.
    std::unique_ptr<EntryPool> m_displayedPool = std::make_unique<EntryPool>();
    std::unique_ptr<EntryPool> m_incomingPool = std::make_unique<EntryPool>();
    MonitorList m_displayed;
    MonitorList m_incoming;
    ui::Thread m_thread;
    RefreshBlock m_block;
    base::UniqueHandleKernel m_requestEvent;
    base::UniqueHandleKernel m_stopEvent;
    base::UniqueHandleKernel m_endedEvent;
    base::UniqueHandleKernel m_cancelEvent; // set while the thread stops: ends its client's calls

    HWND m_mainWindow = nullptr;
    HWND m_view = nullptr;
    bool m_startedHidden = false;
    bool m_closed = false;
    std::string m_title;
};

} // namespace monitor
