#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A dialog created from one of this program's templates, with no behaviour of its own.
class TemplateDialog {
public:
    explicit TemplateDialog(UINT id);
    ~TemplateDialog();
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    HWND get() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }

private:
    HWND window_;
};

std::string WindowText(HWND window);
std::string ClassOf(HWND window);
DWORD StyleOf(HWND window);
std::vector<HWND> ChildrenOf(HWND dialog);
// The child whose text is `text`, or null.
HWND ChildWithText(HWND dialog, const std::string& text);
// A rectangle given in dialog units, in the dialog's pixels.
RECT DialogUnits(HWND dialog, int left, int top, int right, int bottom);
// Children that overlap each other (a group box may hold others) or reach outside the client
// area, and push buttons of other than the standard size, described one per line.
std::string LayoutFaults(HWND dialog);
