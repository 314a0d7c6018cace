#include "FakeTrayShell.h"
#include "components/antTaskbarIcon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace lt;
using ::testing::ElementsAre;

namespace {

struct Picture : IconImage {};

struct BrokenPicture : IconImage {
    HICON Handle() const override { throw std::runtime_error("no handle"); }
};

class FakeMenu : public TPopupMenu {
public:
    FakeMenu(TComponent* owner, std::vector<std::string>& log, FakeTrayShell& shell)
        : TPopupMenu(owner), log_(log), shell_(shell) {}
    void Popup(int X, int Y) override
    {
        log_.push_back("menu at " + std::to_string(X) + "," + std::to_string(Y));
        shell_.cursor = {1, 2}; // the pointer moves while the menu is open
    }

private:
    std::vector<std::string>& log_;
    FakeTrayShell& shell_;
};

class TaskbarIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        icon = new TantTaskbarIcon(&owner, shell);
        icon->SetName("antTaskbarIcon1");
        icon->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState st, int x, int y) {
            EXPECT_EQ(s, icon);
            shell.log.push_back(std::string("OnMouseDown ") + (b == TMouseButton::mbLeft ? "left" : "right") +
                                " " + std::to_string(st) + " " + std::to_string(x) + "," + std::to_string(y));
        };
        icon->OnMouseUp = [this](TComponent*, TMouseButton b, TShiftState st, int x, int y) {
            shell.log.push_back(std::string("OnMouseUp ") + (b == TMouseButton::mbLeft ? "left" : "right") + " " +
                                std::to_string(st) + " " + std::to_string(x) + "," + std::to_string(y));
        };
        icon->OnClick = [this](TComponent*) { shell.log.push_back("OnClick"); };
        icon->OnDblClick = [this](TComponent*) { shell.log.push_back("OnDblClick"); };
        icon->OnPopupMenu = [this](TComponent*) { shell.log.push_back("OnPopupMenu"); };
        icon->OnShow = [this](TComponent*) { shell.log.push_back("OnShow"); };
        icon->OnHide = [this](TComponent*) { shell.log.push_back("OnHide"); };
        shell.log.clear();
    }

    std::intptr_t mouse(std::intptr_t what)
    {
        return shell.send(icon->Handle(), TantTaskbarIcon::kCallbackMessage, what);
    }

    // Only the events, without the shell calls in between.
    std::vector<std::string> events() const
    {
        std::vector<std::string> out;
        for (const auto& e : shell.log)
            if (e.rfind("On", 0) == 0)
                out.push_back(e);
        return out;
    }

    FakeTrayShell shell;
    TComponent owner{nullptr};
    TantTaskbarIcon* icon = nullptr;
};

TEST_F(TaskbarIconTest, CreationSendsNothingAndStartsHidden)
{
    FakeTrayShell s;
    TantTaskbarIcon t(nullptr, s);
    EXPECT_THAT(s.log, ElementsAre("allocate"));
    EXPECT_FALSE(t.Visible());
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(t.Flags(), NIF_MESSAGE | NIF_TIP);
    EXPECT_EQ(t.IconID(), 0);
    EXPECT_EQ(t.ImageIndex(), 0);
    EXPECT_TRUE(t.Icon()->Empty());
    EXPECT_EQ(t.PopupMenu(), nullptr);
}

TEST_F(TaskbarIconTest, ShowAndHideSendTheRecordAndRaiseEvents)
{
    auto pic = std::make_shared<Picture>();
    icon->Icon()->SetImage(pic);
    icon->SetVisible(true);
    ASSERT_EQ(shell.requests.size(), 1u);
    const NotifyIconData& d = shell.requests[0].data;
    EXPECT_EQ(shell.requests[0].message, NIM_ADD);
    EXPECT_EQ(d.cbSize, 88u);
    EXPECT_EQ(d.hWnd, icon->Handle());
    EXPECT_EQ(d.uID, 0u);
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 1025u);
    EXPECT_EQ(d.hIcon, pic.get());
    EXPECT_THAT(shell.log, ElementsAre("add", "OnShow"));

    shell.log.clear();
    icon->SetVisible(true); // current value: nothing at all
    EXPECT_TRUE(shell.log.empty());

    icon->SetVisible(false);
    EXPECT_THAT(shell.log, ElementsAre("delete", "OnHide"));
    EXPECT_EQ(shell.requests.back().data.uFlags, 5u);
    shell.log.clear();
    icon->SetVisible(false);
    EXPECT_TRUE(shell.log.empty());
}

TEST_F(TaskbarIconTest, ClickAndDoubleClickSequences)
{
    shell.keysDown = {VK_SHIFT, VK_CONTROL};
    mouse(WM_LBUTTONDOWN);
    mouse(WM_LBUTTONUP);
    EXPECT_THAT(shell.log, ElementsAre("cursor", "OnMouseDown left 13 640,480", "cursor", "foreground app",
                                       "OnMouseUp left 13 640,480", "OnClick"));

    shell.log.clear();
    shell.keysDown = {VK_MENU};
    mouse(WM_LBUTTONDOWN);
    mouse(WM_LBUTTONUP);
    mouse(WM_LBUTTONDBLCLK);
    mouse(WM_LBUTTONUP);
    EXPECT_THAT(events(), ElementsAre("OnMouseDown left 10 640,480", "OnMouseUp left 10 640,480", "OnClick",
                                      "OnDblClick", "OnMouseUp left 10 640,480"));
}

TEST_F(TaskbarIconTest, DisabledMessagesGoToDefaultHandling)
{
    shell.defaultResult = 77;
    icon->SetVisible(true);
    icon->SetEnabled(false);
    shell.log.clear();
    EXPECT_EQ(mouse(WM_LBUTTONDOWN), 77);
    EXPECT_EQ(mouse(WM_LBUTTONUP), 77);
    EXPECT_EQ(mouse(WM_RBUTTONUP), 77);
    EXPECT_THAT(shell.log, ElementsAre("default 1025", "default 1025", "default 1025"));
    EXPECT_TRUE(icon->Visible());
    EXPECT_EQ(shell.area.size(), 1u);

    // A press made while disabled never becomes a click.
    icon->SetEnabled(true);
    shell.log.clear();
    mouse(WM_LBUTTONUP);
    EXPECT_THAT(events(), ElementsAre("OnMouseUp left 8 640,480"));
}

TEST_F(TaskbarIconTest, PressWhileEnabledReleaseWhileDisabledLeavesClickPending)
{
    mouse(WM_LBUTTONDOWN);
    icon->SetEnabled(false);
    mouse(WM_LBUTTONUP);
    icon->SetEnabled(true);
    shell.log.clear();
    mouse(WM_LBUTTONUP);
    EXPECT_THAT(events(), ElementsAre("OnMouseUp left 8 640,480", "OnClick"));
    shell.log.clear();
    mouse(WM_LBUTTONUP);
    EXPECT_THAT(events(), ElementsAre("OnMouseUp left 8 640,480"));
}

TEST_F(TaskbarIconTest, RightClickWithoutMenu)
{
    mouse(WM_RBUTTONDOWN);
    mouse(WM_RBUTTONUP);
    EXPECT_THAT(shell.log, ElementsAre("cursor", "foreground hidden", "OnMouseDown right 16 640,480", "cursor",
                                       "foreground app", "OnMouseUp right 16 640,480"));
}

TEST_F(TaskbarIconTest, RightClickShowsMenuAtCursorThenReportsEarlierPosition)
{
    auto* menu = new FakeMenu(&owner, shell.log, shell);
    icon->SetPopupMenu(menu);
    mouse(WM_RBUTTONDOWN);
    shell.log.clear();
    mouse(WM_RBUTTONUP);
    EXPECT_THAT(shell.log, ElementsAre("cursor", "cursor", "menu at 640,480", "post 0", "OnPopupMenu",
                                       "foreground app", "OnMouseUp right 16 640,480"));

    // The posted null message only reaches the default handling.
    shell.log.clear();
    shell.send(icon->Handle(), WM_NULL, 0);
    EXPECT_THAT(shell.log, ElementsAre("default 0"));
}

TEST_F(TaskbarIconTest, RemovedMenuIsForgotten)
{
    auto* menu = new FakeMenu(&owner, shell.log, shell);
    icon->SetPopupMenu(menu);
    delete menu;
    EXPECT_EQ(icon->PopupMenu(), nullptr);
    mouse(WM_RBUTTONUP);
    EXPECT_THAT(events(), ElementsAre("OnMouseUp right 16 640,480"));
}

TEST_F(TaskbarIconTest, OtherMouseMessagesRaiseNothing)
{
    for (std::intptr_t m : {WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONDBLCLK})
        EXPECT_EQ(mouse(m), 0);
    EXPECT_TRUE(events().empty());
    shell.log.clear();
    shell.send(icon->Handle(), WM_USER + 2, WM_LBUTTONDOWN);
    EXPECT_THAT(shell.log, ElementsAre("default 1026"));
}

TEST_F(TaskbarIconTest, IconIdChangeWhileShownMovesTheIcon)
{
    icon->SetIconID(3); // hidden: only stored
    EXPECT_TRUE(shell.log.empty());
    icon->SetVisible(true);
    shell.log.clear();
    icon->SetIconID(3);
    EXPECT_TRUE(shell.log.empty());
    icon->SetIconID(9);
    EXPECT_THAT(shell.log, ElementsAre("delete", "OnHide", "add", "OnShow"));
    EXPECT_EQ(shell.requests[shell.requests.size() - 2].data.uID, 3u);
    EXPECT_EQ(shell.requests.back().data.uID, 9u);
    EXPECT_TRUE(icon->Visible());
}

TEST_F(TaskbarIconTest, ImageIndexBeforeImageListThenIconReplacesIt)
{
    auto a = std::make_shared<Picture>();
    auto b = std::make_shared<Picture>();
    auto* list = new TImageList(&owner);
    list->Add(a);
    list->Add(b);
    icon->SetVisible(true);
    shell.log.clear();

    icon->SetImageIndex(1);
    EXPECT_TRUE(shell.log.empty());
    icon->SetImageList(list);
    EXPECT_THAT(shell.log, ElementsAre("modify"));
    EXPECT_EQ(shell.requests.back().data.hIcon, b.get());

    TIcon other;
    other.SetImage(a);
    icon->SetIcon(&other);
    EXPECT_EQ(shell.requests.back().data.hIcon, a.get());
    icon->SetIcon(nullptr);
    EXPECT_EQ(shell.requests.back().data.hIcon, nullptr);

    icon->SetImageIndex(5); // not in the list: empty icon
    EXPECT_EQ(shell.requests.back().data.hIcon, nullptr);
}

TEST_F(TaskbarIconTest, ModifyWhileHiddenIsRefusedQuietlyAndTakesEffectAtShow)
{
    icon->SetHint("later");
    EXPECT_THAT(shell.log, ElementsAre("modify refused"));
    icon->SetVisible(true);
    EXPECT_STREQ(shell.requests.back().data.szTip, "later");
}

TEST_F(TaskbarIconTest, HintIsCutToSixtyThreeBytesAndAlwaysSent)
{
    icon->SetVisible(true);
    icon->SetHint(std::string(70, 'x'));
    EXPECT_EQ(icon->Hint(), std::string(63, 'x'));
    const NotifyIconData& d = shell.requests.back().data;
    EXPECT_EQ(std::string(d.szTip), std::string(63, 'x'));
    EXPECT_EQ(d.szTip[63], '\0');

    shell.log.clear();
    icon->SetHint(icon->Hint());
    EXPECT_THAT(shell.log, ElementsAre("modify"));

    // 62 ASCII bytes and a three-byte character: the character is dropped whole.
    icon->SetHint(std::string(62, 'y') + "链");
    EXPECT_EQ(icon->Hint(), std::string(62, 'y'));
    icon->SetHint(std::string(60, 'y') + "链");
    EXPECT_EQ(icon->Hint().size(), 63u);
}

TEST_F(TaskbarIconTest, DestroyWhileShownRemovesTheIcon)
{
    icon->SetVisible(true);
    shell.log.clear();
    delete icon;
    EXPECT_THAT(shell.log, ElementsAre("delete", "OnHide", "deallocate"));
    EXPECT_TRUE(shell.area.empty());
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(TaskbarIconTest, OwnerDestroysItsComponents)
{
    auto* o = new TComponent(nullptr);
    auto* t = new TantTaskbarIcon(o, shell);
    t->SetVisible(true);
    delete o;
    EXPECT_TRUE(shell.area.empty());
    EXPECT_TRUE(shell.windows.count(icon->Handle()) == 1 && shell.windows.size() == 1);
}

TEST_F(TaskbarIconTest, FailuresRaiseTheComponentsError)
{
    auto expectFailure = [&](auto action, const char* message) {
        shell.failNext = true;
        try {
            action();
            ADD_FAILURE() << "no error for " << message;
        } catch (const EantTaskbarIcon& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    expectFailure([&] { icon->SetVisible(true); }, "antTaskbarIcon1.AddToTaskbar failed");
    // Nothing rolled back: Visible and the flags stay set, OnShow was not raised.
    EXPECT_TRUE(icon->Visible());
    EXPECT_EQ(icon->Flags(), 7u);
    EXPECT_TRUE(events().empty());

    expectFailure([&] { icon->SetHint("x"); }, "antTaskbarIcon1.UpDate failed");
    expectFailure([&] { icon->SetVisible(false); }, "antTaskbarIcon1.DeleteFromTaskbar failed");
    EXPECT_FALSE(icon->Visible());
    EXPECT_EQ(icon->Flags(), 5u);
    EXPECT_TRUE(events().empty());

    // An image that cannot become a handle fails while the record is filled.
    TIcon broken;
    broken.SetImage(std::make_shared<BrokenPicture>());
    try {
        icon->SetIcon(&broken);
        ADD_FAILURE();
    } catch (const EantTaskbarIcon& e) {
        EXPECT_STREQ(e.what(), "antTaskbarIcon1.UpDate failed");
    }
}

TEST_F(TaskbarIconTest, DestroyingSurvivesAFailedRemoval)
{
    icon->SetVisible(true);
    shell.failNext = true;
    delete icon;
    EXPECT_TRUE(shell.windows.empty());
}

TEST_F(TaskbarIconTest, LoadingSequenceOfAStoredDefinition)
{
    auto pic = std::make_shared<Picture>();
    auto* menu = new FakeMenu(&owner, shell.log, shell);
    icon->BeginLoading();
    icon->Icon()->SetImage(pic);
    icon->SetVisible(true);
    icon->SetHint("『拾链宝 』V2.5");
    icon->SetPopupMenu(menu);
    icon->EndLoading();
    EXPECT_THAT(shell.log, ElementsAre("add", "OnShow", "modify", "add refused", "OnShow"));
    EXPECT_STREQ(shell.requests[0].data.szTip, "");
    EXPECT_EQ(shell.requests[0].data.hIcon, pic.get());
    EXPECT_STREQ(shell.requests[1].data.szTip, "『拾链宝 』V2.5");
}

} // namespace
