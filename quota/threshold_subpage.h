// The sub-pages of a threshold page: each one moves a part of the threshold's values between the
// controls of its run-time layout and the edited record.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct ReportMailInfo;

namespace quota {

class CPage;

class ThresholdSubPage {
public:
    virtual ~ThresholdSubPage() = default;

    // The dialog template of its layout and the string of its item in the configuration list.
    virtual WORD TemplateId() const = 0;
    virtual UINT ItemTextId() const = 0;

    // Record to controls. `first` on its first load: lists, spin ranges and bitmap buttons are
    // set up then.
    virtual void Load(CPage& page, bool first) = 0;
    // Controls to record; false keeps the user on the sub-page.
    virtual bool Save(CPage& page) = 0;
    // A command from one of its controls; true when handled.
    virtual bool OnCommand(CPage& /*page*/, UINT /*id*/, UINT /*code*/) { return false; }
    // Another sub-page is shown instead: controls of its own beyond its template hide.
    virtual void Hide(CPage& /*page*/) {}
};

using ThresholdSubPages = std::vector<std::unique_ptr<ThresholdSubPage>>;

// The address book of the workstation's mail system: it replaces the block's To and Cc by the
// recipients the user picks, and returns a text for the user when it failed (none on cancel).
using AddressBookFunction = std::function<std::string(ReportMailInfo& mail)>;

// The address book the mail dialogs of the threshold pages open; the application registers it
// at start-up. Without one the address buttons do nothing.
void RegisterAddressBook(AddressBookFunction addressBook);

// The mail recipients dialog of the "Mail To..." buttons, working on the page's copies of the
// action's mail block and of its template exclusion word.
void EditPageMail(CPage& page);

std::unique_ptr<ThresholdSubPage> MakeActivationSubPage();
std::unique_ptr<ThresholdSubPage> MakeMessageSubPage();
std::unique_ptr<ThresholdSubPage> MakeCommandSubPage();
std::unique_ptr<ThresholdSubPage> MakeReportSetSubPage();
std::unique_ptr<ThresholdSubPage> MakeReportsSubPage();

// The sub-pages a threshold page offers on a server of `serverKind`, in the order of the
// configuration list: no report set on kind 1, no reports on kind 3.
ThresholdSubPages MakeThresholdSubPages(int serverKind);

} // namespace quota
