// The printer and page the user chose in the print setup dialog, kept for the next printouts.
// Empty until the setup dialog was confirmed: printing then starts with the default printer.
#pragma once

#include "base/handles.h"

#include <windows.h>

#include <commdlg.h>

#include <utility>

class CGridPrinterChoice {
public:
    CGridPrinterChoice() = default;
    CGridPrinterChoice(const CGridPrinterChoice&) = delete;
    CGridPrinterChoice& operator=(const CGridPrinterChoice&) = delete;
    ~CGridPrinterChoice() { Take(nullptr, nullptr); }

    bool IsChosen() const { return m_devNames != nullptr; }

    // An information context of the chosen printer with the chosen page setup (orientation,
    // paper); null when none was chosen.
    base::UniqueDc CreateInformationContext() const {
        if (!m_devNames)
            return {};
        const auto* names = static_cast<const DEVNAMES*>(GlobalLock(m_devNames));
        if (!names)
            return {};
        const auto* mode =
            m_devMode ? static_cast<const DEVMODEA*>(GlobalLock(m_devMode)) : nullptr;
        base::UniqueDc dc(CreateICA("WINSPOOL",
                                    reinterpret_cast<const char*>(names) + names->wDeviceOffset,
                                    nullptr, mode));
        if (mode)
            GlobalUnlock(m_devMode);
        GlobalUnlock(m_devNames);
        return dc;
    }
    // Gives a printer context of the chosen printer the chosen page setup, before its document
    // starts.
    void ApplyPageSetup(HDC printer) const {
        const auto* mode =
            m_devMode ? static_cast<const DEVMODEA*>(GlobalLock(m_devMode)) : nullptr;
        if (!mode)
            return;
        ResetDCA(printer, mode);
        GlobalUnlock(m_devMode);
    }

    // Starts `request` with the kept choice. The request then owns the blocks until Keep takes
    // them back (also when the dialog was cancelled: the dialog may have replaced them).
    void Lend(PRINTDLGA& request) {
        request.hDevMode = std::exchange(m_devMode, nullptr);
        request.hDevNames = std::exchange(m_devNames, nullptr);
    }
    void Keep(PRINTDLGA& request) {
        Take(std::exchange(request.hDevMode, nullptr), std::exchange(request.hDevNames, nullptr));
    }

private:
    void Take(HGLOBAL devMode, HGLOBAL devNames) {
        if (m_devMode && m_devMode != devMode)
            GlobalFree(m_devMode);
        if (m_devNames && m_devNames != devNames)
            GlobalFree(m_devNames);
        m_devMode = devMode;
        m_devNames = devNames;
    }

    HGLOBAL m_devMode = nullptr;
    HGLOBAL m_devNames = nullptr;
};
