#include "server/server_chooser.h"
#include "res/resource.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <lm.h>

#include <map>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// A network of domains and servers the chooser lists through its lister, keeping its calls as
// "domain type" ("(primary)" for none).
struct FakeNetwork {
    Names primary, domains;
    std::map<std::string, Names> members;
    DWORD domainsStatus = 0, membersStatus = 0;
    Names calls;

    ServerLister Lister() {
        return [this](const char* domain, DWORD type, Names& names) {
            calls.push_back((domain ? domain : "(primary)") + (" " + std::to_string(type)));
            names = type == SV_TYPE_DOMAIN_ENUM ? domains : domain ? members[domain] : primary;
            return type == SV_TYPE_DOMAIN_ENUM ? domainsStatus : domain ? membersStatus : 0;
        };
    }
};

class OpenServerChooser {
public:
    OpenServerChooser(const char* excluded, ServerLister lister)
        : dialog(excluded, nullptr, std::move(lister)) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        EXPECT_TRUE(dialog.CreateModeless());
    }
    HWND Tree() const { return GetDlgItem(dialog.Handle(), IDC_SERVER_TREE); }
    HTREEITEM Root() const { return TreeView_GetRoot(Tree()); }
    bool OkEnabled() const { return Enabled(dialog.Handle(), IDOK); }
    Names Children(HTREEITEM parent) const { return TreeChildren(Tree(), parent); }
    HTREEITEM Find(HTREEITEM parent, const std::string& text) const {
        return FindTreeChild(Tree(), parent, text);
    }
    bool HasButton(HTREEITEM item) const {
        TVITEMA data{};
        data.mask = TVIF_CHILDREN;
        data.hItem = item;
        TreeView_GetItem(Tree(), &data);
        return data.cChildren != 0;
    }
    std::string EditText() const { return ControlText(dialog.Handle(), IDC_COMPUTER_NAME); }
    void Type(const char* text) { SetDlgItemTextA(dialog.Handle(), IDC_COMPUTER_NAME, text); }
    void Expand(HTREEITEM item) { ExpandTreeItem(Tree(), item); }

    CServerChooserDlg dialog;
};

} // namespace

TEST(ServerChooser, WithoutANetworkShowsOnlyTheDomainRootAndTheErrorAndOkTakesTheTypedName) {
    Names names;
    DWORD status = ListNetworkServers(nullptr, SV_TYPE_NT, names);
    ASSERT_NE(0u, status) << "this test expects a computer without a browsable network";

    MessageBoxWatch watch;
    OpenServerChooser chooser(nullptr, ListNetworkServers);
    EXPECT_EQ(Names{SystemText(status)}, watch.Texts());
    EXPECT_EQ(Names{"Domain"}, chooser.Children(nullptr));
    EXPECT_TRUE(chooser.HasButton(chooser.Root()));
    EXPECT_FALSE(chooser.OkEnabled());
    chooser.Type("FILESRV1");
    EXPECT_TRUE(chooser.OkEnabled());
    chooser.Type("");
    EXPECT_FALSE(chooser.OkEnabled());
    chooser.Type("typed-name");
    Click(chooser.dialog.Handle(), IDOK);
    EXPECT_EQ("typed-name", chooser.dialog.ComputerName());
    EXPECT_EQ(nullptr, chooser.dialog.Handle());
}

TEST(ServerChooser, ListsServersAndDomainsSortedWithoutTheExcludedOneAndTakesTheChosenServer) {
    FakeNetwork network;
    network.primary = {"zed", "abc", "Excluded-One", "ABD", "EXCLUDED-ONE", "Mid"};
    network.domains = {"research", "Sales"};
    network.members["SALES"] = {"sales2", "Sales1", "excluded-one", "SALES3"};
    MessageBoxWatch watch;
    OpenServerChooser chooser("excluded-one", network.Lister());
    EXPECT_EQ((Names{"Domain", "ABD", "Mid", "abc", "zed"}), chooser.Children(nullptr));
    EXPECT_FALSE(chooser.HasButton(chooser.Find(nullptr, "abc")));
    chooser.Type("Excluded-ONE");
    EXPECT_FALSE(chooser.OkEnabled());

    // Domains in capitals, listed on the first expansion only; a domain lists its members.
    chooser.Expand(chooser.Root());
    TreeView_Expand(chooser.Tree(), chooser.Root(), TVE_COLLAPSE);
    chooser.Expand(chooser.Root());
    EXPECT_EQ((Names{"RESEARCH", "SALES"}), chooser.Children(chooser.Root()));
    HTREEITEM sales = chooser.Find(chooser.Root(), "SALES");
    EXPECT_TRUE(chooser.HasButton(sales));
    chooser.Expand(sales);
    EXPECT_EQ((Names{"SALES3", "Sales1", "sales2"}), chooser.Children(sales));
    EXPECT_EQ((Names{"(primary) " + std::to_string(SV_TYPE_NT),
                     "(primary) " + std::to_string(SV_TYPE_DOMAIN_ENUM),
                     "SALES " + std::to_string(SV_TYPE_NT | SV_TYPE_DOMAIN_MEMBER)}),
              network.calls);
    EXPECT_TRUE(watch.Texts().empty());

    // Selecting a server fills the name, a domain empties it; a double click takes the server.
    TreeView_SelectItem(chooser.Tree(), chooser.Find(sales, "Sales1"));
    EXPECT_EQ("Sales1", chooser.EditText());
    TreeView_SelectItem(chooser.Tree(), sales);
    EXPECT_EQ("", chooser.EditText());
    EXPECT_FALSE(chooser.OkEnabled());
    TreeView_SelectItem(chooser.Tree(), chooser.Find(nullptr, "zed"));
    NMHDR click{chooser.Tree(), IDC_SERVER_TREE, static_cast<UINT>(NM_DBLCLK)};
    SendMessageA(chooser.dialog.Handle(), WM_NOTIFY, IDC_SERVER_TREE,
                 reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ("zed", chooser.dialog.ComputerName());
    EXPECT_EQ(nullptr, chooser.dialog.Handle());
}

TEST(ServerChooser, FailuresOfTheDomainListAreSilentAndOfItsMembersShown) {
    MessageBoxWatch watch;
    for (DWORD domainsStatus : {DWORD(ERROR_BAD_NETPATH), DWORD(0)}) {
        FakeNetwork network;
        network.domains = {"SALES"};
        network.members["SALES"] = {"S1"};
        network.domainsStatus = domainsStatus;
        network.membersStatus = ERROR_ACCESS_DENIED;
        OpenServerChooser chooser(nullptr, network.Lister());
        chooser.Expand(chooser.Root());
        if (domainsStatus) {
            EXPECT_TRUE(chooser.Children(chooser.Root()).empty());
            EXPECT_TRUE(watch.Texts().empty());
            continue;
        }
        HTREEITEM sales = chooser.Find(chooser.Root(), "SALES");
        chooser.Expand(sales);
        EXPECT_TRUE(chooser.Children(sales).empty());
    }
    EXPECT_EQ(Names{SystemText(ERROR_ACCESS_DENIED)}, watch.Texts());
}
