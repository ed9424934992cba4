// The sub-pages of the threshold pages, in the order of their configuration list.
#include "client/axcli.h"
#include "quota/mail_info_dlg.h"
#include "quota/threshold_page.h"

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

void EditPageMail(CPage& page) {
    EditMailInfo(page.Handle(), page.MailInfo(), page.ActionFlags(), RegisteredAddressBook());
}

ThresholdSubPages MakeThresholdSubPages(int serverKind) {
    ThresholdSubPages pages;
    pages.push_back(MakeActivationSubPage());
    pages.push_back(MakeMessageSubPage());
    pages.push_back(MakeCommandSubPage());
    if (serverKind != kServerKindNoSettings)
        pages.push_back(MakeReportSetSubPage());
    if (serverKind != kServerKindMonitorOnly)
        pages.push_back(MakeReportsSubPage());
    return pages;
}

} // namespace quota
