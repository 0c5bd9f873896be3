#include "window/window_fixture.h"
#include "support/frm_main_probe.h"
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QTest>

namespace ondrel {
namespace {

// The window as assistive technology and a keyboard-only user reach it.
class KeyboardAccess : public testing::WindowTest {
protected:
    void SetUp() override
    {
        Open();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Depth-first through the accessibility tree, by accessible name.
    static QAccessibleInterface* Find(QAccessibleInterface* node, const QString& name)
    {
        if (node == nullptr)
            return nullptr;
        if (node->text(QAccessible::Name) == name)
            return node;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* found = Find(node->child(i), name))
                return found;
        return nullptr;
    }
    QAccessibleInterface* Find(const char* name)
    {
        return Find(QAccessible::queryAccessibleInterface(form.get()), QString::fromUtf8(name));
    }
    // Tab until `name` has the focus; false after a full round without it.
    bool TabTo(const char* name)
    {
        for (int i = 0; i < 40; ++i) {
            if (QApplication::focusWidget() != nullptr && QApplication::focusWidget()->objectName() == name)
                return true;
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), Qt::Key_Tab);
        }
        return false;
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

TEST_F(KeyboardAccess, EveryStandInHasANameARoleAndItsValue)
{
    for (const char* name : {"AI", "DI"}) {
        QAccessibleInterface* sw = Find(name);
        ASSERT_NE(sw, nullptr) << name;
        EXPECT_TRUE(sw->state().checkable) << name;
        EXPECT_FALSE(sw->state().checked) << name;
    }
    QAccessibleInterface* readout = Find("Seconds per division");
    ASSERT_NE(readout, nullptr);
    ASSERT_NE(readout->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(readout->valueInterface()->currentValue().toDouble(), 1.0);
    EXPECT_NE(Find(readout, "Increase"), nullptr);
    EXPECT_NE(Find(readout, "Decrease"), nullptr);
    for (const char* name : {"Play speed", "Replay position"}) {
        QAccessibleInterface* slider = Find(name);
        ASSERT_NE(slider, nullptr) << name;
        EXPECT_EQ(slider->role(), QAccessible::Slider) << name;
        ASSERT_NE(slider->valueInterface(), nullptr) << name;
    }
    for (const char* name : {"Play", "Fast forward", "Stop", "Chart", "Setting...", "Start", "Exit", "History..."})
        EXPECT_NE(Find(name), nullptr) << name;
}

TEST_F(KeyboardAccess, ASwitchFlippedByItsActionChangesTheProgramAsAClickDoes)
{
    QAccessibleInterface* ai = Find("AI");
    ASSERT_NE(ai, nullptr);
    ASSERT_NE(ai->actionInterface(), nullptr);
    ai->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(testing::Inside(*form).KroButton1().Value());
    EXPECT_TRUE(testing::Inside(*form).setup().bAIEnabled);
    EXPECT_TRUE(Enabled("CkAISave2Disk"));
    EXPECT_TRUE(ai->state().checked);

    // Refused: no DI port chosen. The picture goes back with the program's state.
    QAccessibleInterface* di = Find("DI");
    di->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(testing::Inside(*form).KroButton2().Value());
    EXPECT_FALSE(testing::Inside(*form).setup().bDIEnabled);
    EXPECT_FALSE(di->state().checked);
    EXPECT_EQ(prompts.messages.back().text, "No DI Port is selected");
}

TEST_F(KeyboardAccess, ARunFromTheKeyboardAlone)
{
    ASSERT_TRUE(TabTo("KroButton1"));
    Press(Qt::Key_Space);
    EXPECT_TRUE(testing::Inside(*form).setup().bAIEnabled);
    ASSERT_TRUE(TabTo("CkAISave2Disk"));
    Press(Qt::Key_Space);
    EXPECT_TRUE(testing::Inside(*form).setup().bAISaveToDisk);
    ASSERT_TRUE(TabTo("BtnStart"));
    Press(Qt::Key_Return);
    ASSERT_TRUE(testing::Inside(*form).run().IsRunning()) << (prompts.messages.empty() ? "" : prompts.messages[0].text);
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 2; }));
    Press(Qt::Key_Return);
    EXPECT_FALSE(testing::Inside(*form).run().IsRunning());
    EXPECT_GT(FileBytes(testing::Inside(*form).files()->AIFileName()).size(), 0u);

    Press(Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(waitFor([&] { return !form->isVisible(); }));
}

} // namespace
} // namespace ondrel
