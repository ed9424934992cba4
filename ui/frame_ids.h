// Fixed command and control ids of the frame toolkit.
#pragma once

#include <windows.h>

namespace ui {

constexpr UINT kViewToolBarCommand = 59392;   // View > Toolbar: show or hide the toolbar
constexpr UINT kViewStatusBarCommand = 59393; // View > Status Bar
constexpr UINT kToolBarControlId = 0xE800;
constexpr UINT kStatusBarControlId = 0xE801;
constexpr UINT kFirstPaneControlId = 0xE900; // the frame's view
constexpr UINT kMessagePane = 0;             // status bar: the message pane
constexpr UINT kIndicatorCaps = 59137;       // status bar: key indicators
constexpr UINT kIndicatorNum = 59138;
constexpr UINT kIndicatorScroll = 59139;
constexpr UINT kIdleMessageText = 57345;   // string table: "Ready"
constexpr WORD kToolBarResourceType = 241; // toolbar layout resource

} // namespace ui
