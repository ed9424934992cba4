// The sub-pages of the threshold pages, in the order of their configuration list.
#include "client/axcli.h"
#include "quota/mail_info_dlg.h"
#include "quota/threshold_subpage.h"

namespace quota {

namespace {
AddressBookFunction& RegisteredAddressBook() {
    static AddressBookFunction addressBook;
    return addressBook;
}
} // namespace

void RegisterAddressBook(AddressBookFunction addressBook) {
    RegisteredAddressBook() = std::move(addressBook);
}

ThresholdSubPages MakeThresholdSubPages(int serverKind) {
    const MailDialogFunction mailDialog = [](HWND owner, ReportMailInfo& mail,
                                             uint32_t& actionFlags) {
        EditMailInfo(owner, mail, actionFlags, RegisteredAddressBook());
    };
    ThresholdSubPages pages;
    pages.push_back(MakeActivationSubPage());
    pages.push_back(MakeMessageSubPage(mailDialog));
    pages.push_back(MakeCommandSubPage());
    if (serverKind != kServerKindNoSettings)
        pages.push_back(MakeReportSetSubPage());
    if (serverKind != kServerKindMonitorOnly)
        pages.push_back(MakeReportsSubPage(mailDialog));
    return pages;
}

} // namespace quota
