// Properties of a grid row against the real quota service: the sheet opens on the record read
// from the server, and OK saves the edited record there and shows it in the row at once.
#include "quota_service.h"
#include "ui_test_support.h"
#include "view_fixture.h"

#include "res/resource.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr uint64_t kMB = 1024 * 1024;

// The output of "axquota <arguments>".
std::string RunAxquota(const std::string& arguments) {
    std::string output;
    RunProgram("\"" + WindowsPathOf(KELVANE_AXQUOTA_PATH) + "\" " + arguments, &output);
    return output;
}

// The line of `listing` that names `object`.
std::string LineOf(const std::string& listing, const std::string& object) {
    const size_t at = listing.find(object);
    if (at == std::string::npos)
        return {};
    const size_t end = listing.find('\n', at);
    return listing.substr(at, end == std::string::npos ? end : end - at);
}

class RowPropertiesTest : public ViewTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_service.IsRunning());
        m_folder = m_service.Folder("properties");
        ASSERT_EQ(0u, SaveQuota(m_folder, 10 * kMB, AttrAbsolute));
        m_document.Add(m_folder.c_str(), 0, 10 * kMB).serverName = "";
        OpenView();
    }
    uint32_t Stored(AllotrixDbRec& record) {
        AXCli client;
        EXPECT_EQ(0u, client.Connect(""));
        std::string device = m_folder.substr(0, 2), file = m_folder.substr(2), owner;
        return client.Get(&record, device.data(), file.data(), owner.data(), 0);
    }

    QuotaServiceEnvironment m_service;
    std::string m_folder;
};

} // namespace

TEST_F(RowPropertiesTest, PropertiesCommandSavesTheEditedQuotaAndItsThresholdsInOrder) {
    std::string shownQuota;
    DialogDriver driver("Allotrix - Properties for Object (Absolute) on ", [&](HWND sheet) {
        HWND quotaPage = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        shownQuota = ControlText(quotaPage, IDC_PERM_QUOTA);
        SetDlgItemTextA(quotaPage, IDC_PERM_QUOTA, "25");
        SendMessageA(sheet, PSM_SETCURSEL, 3, 0); // threshold 3
        HWND threshold = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        SendDlgItemMessageA(threshold, IDC_THRESHOLD_SPIN, UDM_SETPOS32, 0, 95);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    ASSERT_TRUE(m_view->SetCurrentCell(1, 1));
    ASSERT_TRUE(m_view->RouteCommand(ID_QUOTA_PROPERTIES, 0, nullptr));
    ASSERT_TRUE(driver.Ran());
    EXPECT_EQ("10", shownQuota);

    AllotrixDbRec saved;
    ASSERT_EQ(0u, Stored(saved));
    EXPECT_EQ(25 * kMB, saved.GetPermQuota());
    EXPECT_EQ(95, saved.GetThreshPercent1()); // the highest threshold comes first
    EXPECT_EQ(25 * kMB, m_view->EntryOfRow(1)->record.GetPermQuota());
    EXPECT_NE(std::string::npos, LineOf(RunAxquota("list -bytes"), m_folder).find("26214400"))
        << RunAxquota("list -bytes");
}

TEST_F(RowPropertiesTest, DoubleClickThenCancelSavesNothing) {
    DialogDriver driver("Allotrix - Properties for", [&](HWND sheet) {
        HWND quotaPage = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        SetDlgItemTextA(quotaPage, IDC_PERM_QUOTA, "25");
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    EXPECT_TRUE(m_view->OnCellDoubleClick(1, 2, 0, POINT{}));
    ASSERT_TRUE(driver.Ran());
    AllotrixDbRec saved;
    ASSERT_EQ(0u, Stored(saved));
    EXPECT_EQ(10 * kMB, saved.GetPermQuota());
}

TEST_F(RowPropertiesTest, RecordThatCannotBeReadIsReported) {
    ASSERT_EQ(0u, DeleteQuota(m_folder));
    MessageBoxWatch messages;
    EXPECT_TRUE(m_view->OnCellDoubleClick(1, 2, 0, POINT{}));
    ASSERT_EQ(1u, messages.Texts().size());
    EXPECT_EQ(0u, messages.Texts()[0].find("Object: " + m_folder + "\n")) << messages.Texts()[0];
}
