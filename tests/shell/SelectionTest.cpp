// Start-up and card selection: open and OEM modes, the name search and its worker, the
// message boxes, and the single-copy rule.
#include "ShellTestSupport.h"

#include "platform/SingleCopy.h"
#include "platform/Window.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QTimer>
#include <QTreeWidget>

using namespace shelltest;
using fakes::FakeMirodel;

namespace {

class SelectionTest : public ShellTest
{
protected:
    std::vector<std::string> foundNames() const
    {
        std::vector<std::string> names;
        for (const auto& call : FakeMirodel::instance().calls("MirodelFindAdapters"))
            names.push_back(call.text);
        return names;
    }
};

TEST_F(SelectionTest, MissingOemRecSearchesForeverWithoutNames)
{
    app = std::make_unique<CTavoroApp>(dir.path());
    ASSERT_TRUE(app->StartUp());
    QTimer::singleShot(0, [this] {
        CDlgSelCard* dlg = app->SelectionDialog();
        EXPECT_EQ(dlg->m_bOemMode, 1);
        EXPECT_TRUE(g_OemNameList.empty());
        EXPECT_TRUE(dlg->IsSearchWorkerRunning());
        EXPECT_TRUE(fakes::WaitUntil([this] { return clock.pauseLengths().size() > 20; }));
        EXPECT_EQ(FakeMirodel::instance().count("MirodelFindAdapters"), 0u);
        EXPECT_EQ(FakeMirodel::instance().count("MirodelOpenAdapter"), 0u);
        EXPECT_FALSE(dlg->isVisible());
        dlg->OnCancel(); // ends the test's selection loop
    });
    EXPECT_FALSE(app->RunSelection());
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(SelectionTest, OpenModeWithoutAdapterShowsInitialErrorAndEnds)
{
    writeOemRec("Num=OPEN\n");
    FakeMirodel::instance().setStatus("MirodelFindAdapters", 1168);
    app = std::make_unique<CTavoroApp>(dir.path());
    ASSERT_TRUE(app->StartUp());
    EXPECT_FALSE(app->RunSelection());
    const auto boxes = dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Initial Error");
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(FakeMirodel::instance().count("MirodelCloseAdapter"), 1u);
    EXPECT_EQ(app->SelectionDialog(), nullptr);
}

TEST_F(SelectionTest, OpenModeOkWithoutSelectionWarnsAndStays)
{
    writeOemRec("Num=OPEN\n");
    FakeMirodel::instance().setAdapters({kUsbAdapter, kPcieAdapter});
    app = std::make_unique<CTavoroApp>(dir.path());
    ASSERT_TRUE(app->StartUp());
    QTimer::singleShot(0, [this] {
        CDlgSelCard* dlg = app->SelectionDialog();
        ASSERT_EQ(dlg->m_pList->topLevelItemCount(), 2);
        EXPECT_TRUE(dlg->isVisible());
        dlg->OnOK();
        EXPECT_EQ(dialogs.boxTexts(), std::vector<std::string>{"Please select one Network Card"});
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(FakeMirodel::instance().count("MirodelOpenAdapter"), 0u);
        dlg->m_pList->setCurrentItem(dlg->m_pList->topLevelItem(1));
        dlg->OnOK();
    });
    EXPECT_TRUE(app->RunSelection());
    const auto opens = FakeMirodel::instance().calls("MirodelOpenAdapter");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].text, kPcieAdapter);
    EXPECT_EQ(opens[0].code, MIRODEL_OPEN_BY_NAME);
    EXPECT_TRUE(app->SelectionDialog()->m_Adapter.IsAdapterOpen());
    EXPECT_FALSE(app->SelectionDialog()->isVisible());
}

TEST_F(SelectionTest, OpenModeAdapterThatCannotBeOpenedEnds)
{
    writeOemRec("Num=OPEN\n");
    FakeMirodel::instance().setAdapters({kUsbAdapter});
    FakeMirodel::instance().setStatus("MirodelOpenAdapter", 31);
    app = std::make_unique<CTavoroApp>(dir.path());
    ASSERT_TRUE(app->StartUp());
    QTimer::singleShot(0, [this] {
        CDlgSelCard* dlg = app->SelectionDialog();
        dlg->m_pList->setCurrentItem(dlg->m_pList->topLevelItem(0));
        dlg->OnOK();
    });
    EXPECT_FALSE(app->RunSelection());
    const auto boxes = dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Warning");
    EXPECT_EQ(boxes[0].caption, "Initial Error");
}

// Each name tried costs 1.5 s; the first name present wins; then 3 s before the open.
TEST_F(SelectionTest, NameSearchTakesFirstPresentName)
{
    const struct
    {
        std::vector<std::string> present;
        std::string opened;
        std::vector<std::string> tried;
        std::vector<std::uint32_t> pauses;
        std::size_t closes;
    } cases[] = {
        {{kUsbAdapter, kPcieAdapter}, kUsbAdapter, {kUsbAdapter}, {1500, 3000}, 0},
        {{kPcieAdapter}, kPcieAdapter, {kUsbAdapter, kPcieAdapter}, {1500, 1500, 3000}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opened);
        FakeMirodel::instance().reset();
        clock.clearPauses();
        writeOemRec("Num=2\nName1=2101\nName2=2102\n");
        const std::vector<std::string> present = c.present;
        FakeMirodel::instance().setAdapters(present);
        FakeMirodel::instance().setCallHook("MirodelFindAdapters", [present] {
            const auto calls = FakeMirodel::instance().calls("MirodelFindAdapters");
            const bool found =
                std::find(present.begin(), present.end(), calls.back().text) != present.end();
            FakeMirodel::instance().setStatus("MirodelFindAdapters", found ? 0 : 1168);
        });
        app = std::make_unique<CTavoroApp>(dir.path());
        ASSERT_TRUE(app->StartUp());
        ASSERT_TRUE(app->RunSelection());
        EXPECT_EQ(foundNames(), c.tried);
        EXPECT_EQ(clock.pauseLengths(), c.pauses);
        EXPECT_EQ(FakeMirodel::instance().count("MirodelCloseAdapter"), c.closes);
        const auto opens = FakeMirodel::instance().calls("MirodelOpenAdapter");
        ASSERT_EQ(opens.size(), 1u);
        EXPECT_EQ(opens[0].text, c.opened);
        EXPECT_FALSE(app->SelectionDialog()->IsSearchWorkerRunning());
        app.reset();
    }
}

TEST_F(SelectionTest, OemModeWithoutAdapterKeepsSearchingUntilOneAppears)
{
    writeOemRec("Num=2\nName1=2101\nName2=2102\n");
    FakeMirodel::instance().setStatus("MirodelFindAdapters", 1168);
    app = std::make_unique<CTavoroApp>(dir.path());
    ASSERT_TRUE(app->StartUp());
    QTimer::singleShot(0, [this] {
        EXPECT_TRUE(app->SelectionDialog()->IsSearchWorkerRunning());
        EXPECT_TRUE(FakeMirodel::instance().waitForCalls("MirodelFindAdapters", 8));
        EXPECT_EQ(FakeMirodel::instance().count("MirodelOpenAdapter"), 0u);
        FakeMirodel::instance().setAdapters({kPcieAdapter});
        FakeMirodel::instance().setCallHook("MirodelFindAdapters", [] {
            const auto calls = FakeMirodel::instance().calls("MirodelFindAdapters");
            FakeMirodel::instance().setStatus("MirodelFindAdapters",
                                              calls.back().text == kPcieAdapter ? 0 : 1168);
        });
    });
    ASSERT_TRUE(app->RunSelection());
    const auto opens = FakeMirodel::instance().calls("MirodelOpenAdapter");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].text, kPcieAdapter);
    // The open, the worker's last act, ran on the worker's thread.
    EXPECT_NE(opens[0].thread, std::this_thread::get_id());
    for (std::uint32_t pause : clock.pauseLengths())
        EXPECT_TRUE(pause == 1500 || pause == 3000) << pause;
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(SelectionTest, SecondStartDuringSelectionIsIgnoredByTheDialog)
{
    writeOemRec("Num=1\nName1=2101\n");
    FakeMirodel::instance().setStatus("MirodelFindAdapters", 1168);
    app = std::make_unique<CTavoroApp>(dir.path());
    ASSERT_TRUE(app->StartUp());
    QTimer::singleShot(0, [this] {
        CTavoroApp second(dir.path());
        EXPECT_FALSE(second.StartUp()); // found the selection dialog by the second title
        // The posted 0x468 is handled by the dialog, which leaves everything as it was.
        platform::ProcessPostedMessages();
        EXPECT_FALSE(app->SelectionDialog()->isVisible());
        app->SelectionDialog()->OnCancel();
    });
    EXPECT_FALSE(app->RunSelection());
    const auto pauses = clock.pauseLengths();
    EXPECT_NE(std::find(pauses.begin(), pauses.end(), 500u), pauses.end());
}

TEST_F(SelectionTest, StaleChannelOfACrashedCopyDoesNotStopTheNextStart)
{
    // A copy that claims the channel and dies without cleaning up leaves its socket behind.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* crashed = new platform::SingleCopyChannel("Tavoro", dir.path());
        _exit(crashed->claim() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    CTavoroApp next(dir.path());
    EXPECT_TRUE(next.StartUp());
}

} // namespace
