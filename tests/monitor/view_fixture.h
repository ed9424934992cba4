// A monitor view in a top-level window of its own, over a document whose displayed list the test
// fills, with the column layout kept in a profile root of the test's own.
#pragma once

#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"

#include "ui/thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A document whose server kind and records the test sets, without a quota service.
// Its messages are collected instead of shown.
class FilledDocument : public monitor::CAXMonDoc {
public:
    using CAXMonDoc::SetServerKind;
    monitor::MonitorEntry& Add(const char* object, uint64_t used, uint64_t quota,
                               uint32_t attributes = AttrAbsolute, const char* owner = "");
    std::vector<std::string> messages;

protected:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

// The wParam of every WM_AXMON_CONNECTED the test's main window received.
std::vector<WPARAM>& ConnectedNotices();

// A unique profile root for the test, removed before and after it.
class ScopedProfileRoot {
public:
    explicit ScopedProfileRoot(const std::string& name);
    ~ScopedProfileRoot();
};

// The number the monitor's settings hold under `value`, or kNothingSaved.
constexpr UINT kNothingSaved = 0xFFFFFFFF;
UINT SavedNumber(const char* value);

class ViewTest : public ::testing::Test {
protected:
    ViewTest();
    ~ViewTest() override;

    // Creates the view over the document and runs its initial update (as a console started hidden,
    // so without a timer unless `startTimer`).
    monitor::CAXMonView& OpenView(bool startTimer = false);
    void CloseView();

    // The middle of a cell in the view's client coordinates (row 0: the heading), or the middle
    // of its right border.
    LPARAM CellPoint(int row, int col, bool rightEdge = false) const;
    // Presses and releases the left button in the heading of column `col`.
    void ClickHeading(int col);
    // Drags the right border of column `col`'s heading by `dx` pixels.
    void DragColumnBorder(int col, int dx);
    // The object names of the data rows, top to bottom.
    std::vector<std::string> ObjectColumn(int col) const;

    ScopedProfileRoot m_profile;
    FilledDocument m_document;
    HWND m_frame = nullptr;
    std::unique_ptr<monitor::CAXMonView> m_view;
};

using ui::PumpMessagesUntil;
