// A page of the server property sheet: it edits the computer set before the page is created.
#pragma once

#include "ui/property_sheet.h"

#include <string>

class CServerPage : public ui::PropertyPage {
public:
    using ui::PropertyPage::PropertyPage;

    // The computer whose settings the page edits (empty: this one).
    void SetServer(const std::string& server) { m_server = server; }

protected:
    std::string m_server;
};
