#include "server/server_chooser.h"
#include "res/resource.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <lm.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A network of domains and servers the chooser lists through its lister.
struct FakeNetwork {
    struct Call {
        std::string domain; // "(primary)" for none
        DWORD type;
    };
    std::vector<std::string> primary;
    std::vector<std::string> domains;
    std::map<std::string, std::vector<std::string>> members;
    DWORD primaryStatus = 0;
    DWORD domainsStatus = 0;
    DWORD membersStatus = 0;
    std::vector<Call> calls;

    ServerLister Lister() {
        return [this](const char* domain, DWORD type, std::vector<std::string>& names) {
            calls.push_back({domain ? domain : "(primary)", type});
            if (type == SV_TYPE_DOMAIN_ENUM) {
                names = domains;
                return domainsStatus;
            }
            if (!domain) {
                names = primary;
                return primaryStatus;
            }
            names = members[domain];
            return membersStatus;
        };
    }
};

class OpenServerChooser {
public:
    OpenServerChooser(const char* excluded, ServerLister lister)
        : m_dialog(excluded, nullptr, std::move(lister)) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        EXPECT_TRUE(m_dialog.CreateModeless());
    }
    CServerChooserDlg& Dialog() { return m_dialog; }
    HWND Tree() const { return GetDlgItem(m_dialog.Handle(), IDC_SERVER_TREE); }
    HWND Edit() const { return GetDlgItem(m_dialog.Handle(), IDC_COMPUTER_NAME); }
    bool OkEnabled() const { return IsWindowEnabled(GetDlgItem(m_dialog.Handle(), IDOK)) != FALSE; }

    // The texts of `parent`'s children (null: the top level), in tree order.
    std::vector<std::string> Children(HTREEITEM parent) const {
        return TreeChildren(Tree(), parent);
    }
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
    std::string EditText() const { return ControlText(m_dialog.Handle(), IDC_COMPUTER_NAME); }
    void Type(const std::string& text) { SetWindowTextA(Edit(), text.c_str()); }
    void Expand(HTREEITEM item) { ExpandTreeItem(Tree(), item); }
    void Collapse(HTREEITEM item) { TreeView_Expand(Tree(), item, TVE_COLLAPSE); }

private:
    CServerChooserDlg m_dialog;
};

} // namespace

TEST(ServerChooser, WithoutANetworkShowsOnlyTheDomainRootAndTheError) {
    std::vector<std::string> names;
    DWORD status = ListNetworkServers(nullptr, SV_TYPE_NT, names);
    ASSERT_NE(0u, status) << "this test expects a computer without a browsable network";

    MessageBoxWatch watch;
    OpenServerChooser chooser(nullptr, ListNetworkServers);
    EXPECT_EQ(std::vector<std::string>{SystemText(status)}, watch.Texts());
    EXPECT_EQ(std::vector<std::string>{"Domain"}, chooser.Children(nullptr));
    EXPECT_TRUE(chooser.HasButton(TreeView_GetRoot(chooser.Tree())));
    EXPECT_FALSE(chooser.OkEnabled());
    chooser.Type("FILESRV1");
    EXPECT_TRUE(chooser.OkEnabled());
    chooser.Type("");
    EXPECT_FALSE(chooser.OkEnabled());
}

TEST(ServerChooser, ListsServersAndDomainsSortedWithoutTheExcludedOneAndTakesTheChosenServer) {
    FakeNetwork network;
    network.primary = {"zed", "abc", "Excluded-One", "ABD", "EXCLUDED-ONE", "Mid"};
    network.domains = {"research", "Sales"};
    network.members["SALES"] = {"sales2", "Sales1", "excluded-one", "SALES3"};
    MessageBoxWatch watch;
    OpenServerChooser chooser("excluded-one", network.Lister());
    EXPECT_EQ((std::vector<std::string>{"Domain", "ABD", "Mid", "abc", "zed"}),
              chooser.Children(nullptr));
    EXPECT_FALSE(chooser.HasButton(chooser.Find(nullptr, "abc")));
    chooser.Type("Excluded-ONE");
    EXPECT_FALSE(chooser.OkEnabled());
    chooser.Type("abc");
    EXPECT_TRUE(chooser.OkEnabled());

    // Domains in capitals, listed on the first expansion only; a domain lists its members.
    HTREEITEM root = TreeView_GetRoot(chooser.Tree());
    chooser.Expand(root);
    chooser.Collapse(root);
    chooser.Expand(root);
    EXPECT_EQ((std::vector<std::string>{"RESEARCH", "SALES"}), chooser.Children(root));
    HTREEITEM sales = chooser.Find(root, "SALES");
    EXPECT_TRUE(chooser.HasButton(sales));
    chooser.Expand(sales);
    EXPECT_EQ((std::vector<std::string>{"SALES3", "Sales1", "sales2"}), chooser.Children(sales));
    const std::vector<std::pair<std::string, DWORD>> calls = {
        {"(primary)", SV_TYPE_NT},
        {"(primary)", SV_TYPE_DOMAIN_ENUM},
        {"SALES", SV_TYPE_NT | SV_TYPE_DOMAIN_MEMBER}};
    ASSERT_EQ(calls.size(), network.calls.size());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].first, network.calls[i].domain) << i;
        EXPECT_EQ(calls[i].second, network.calls[i].type) << i;
    }
    EXPECT_TRUE(watch.Texts().empty());

    // Selecting a server fills the name, a domain empties it; a double click takes the server.
    TreeView_SelectItem(chooser.Tree(), chooser.Find(sales, "Sales1"));
    EXPECT_EQ("Sales1", chooser.EditText());
    TreeView_SelectItem(chooser.Tree(), sales);
    EXPECT_EQ("", chooser.EditText());
    EXPECT_FALSE(chooser.OkEnabled());
    TreeView_SelectItem(chooser.Tree(), chooser.Find(nullptr, "zed"));
    NMHDR click{chooser.Tree(), IDC_SERVER_TREE, static_cast<UINT>(NM_DBLCLK)};
    SendMessageA(chooser.Dialog().Handle(), WM_NOTIFY, IDC_SERVER_TREE,
                 reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ("zed", chooser.Dialog().ComputerName());
    EXPECT_EQ(nullptr, chooser.Dialog().Handle());
}

TEST(ServerChooser, FailuresOfTheDomainListAreSilentAndOfItsMembersShown) {
    FakeNetwork network;
    network.domainsStatus = ERROR_BAD_NETPATH;
    MessageBoxWatch watch;
    OpenServerChooser chooser(nullptr, network.Lister());
    HTREEITEM root = TreeView_GetRoot(chooser.Tree());
    chooser.Expand(root);
    EXPECT_TRUE(chooser.Children(root).empty());
    EXPECT_TRUE(watch.Texts().empty());

    FakeNetwork second;
    second.domains = {"SALES"};
    second.members["SALES"] = {"S1"};
    second.membersStatus = ERROR_ACCESS_DENIED;
    OpenServerChooser other(nullptr, second.Lister());
    HTREEITEM otherRoot = TreeView_GetRoot(other.Tree());
    other.Expand(otherRoot);
    HTREEITEM sales = other.Find(otherRoot, "SALES");
    other.Expand(sales);
    EXPECT_TRUE(other.Children(sales).empty());
    EXPECT_EQ(std::vector<std::string>{SystemText(ERROR_ACCESS_DENIED)}, watch.Texts());
}

TEST(ServerChooser, OkTakesTheTypedName) {
    FakeNetwork network;
    OpenServerChooser chooser(nullptr, network.Lister());
    chooser.Type("typed-name");
    SendMessageA(chooser.Dialog().Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ("typed-name", chooser.Dialog().ComputerName());
    EXPECT_EQ(nullptr, chooser.Dialog().Handle());
}
