#include "window/modal_steps.h"
#include "ondrel/window/message_box_prompts.h"
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace ondrel {
namespace {

// The boxes the operator really sees, answered as the operator would.
class MessageBoxes : public ::testing::Test {
protected:
    QWidget window;
    MessageBoxPrompts prompts;
    testing::ModalSteps modal;

    void SetUp() override
    {
        window.show();
        prompts.setOwner(&window);
    }
};

TEST_F(MessageBoxes, AMessageHasItsTitleAnOkButtonAndNoIcon)
{
    modal.Then("MsgBox", [](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box.windowTitle(), "BtnStart");
        EXPECT_EQ(box.text(), "No Operation is enabled");
        ASSERT_EQ(box.buttons().size(), 1);
        EXPECT_EQ(box.standardButton(box.buttons().front()), QMessageBox::Ok);
        box.buttons().front()->click();
    });
    prompts.MsgBox("No Operation is enabled", "BtnStart");
    EXPECT_TRUE(modal.Done());
}

TEST_F(MessageBoxes, ReplacingAProjectDefaultsToNoAndAnUnsavedRecordingToSaveAs)
{
    modal.Then("AskYesNo", [](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
        box.defaultButton()->click();
    });
    EXPECT_FALSE(prompts.AskYesNo("/data/run already holds a project. Replace it?"));

    modal.Then("AskUnsavedRecording", [](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.text(), "The last recording has not been saved.");
        EXPECT_EQ(box.defaultButton()->text(), "Save As...");
        box.escapeButton()->click(); // Escape keeps the program open
    });
    EXPECT_EQ(prompts.AskUnsavedRecording("The last recording has not been saved."), UnsavedAnswer::Cancel);
    EXPECT_TRUE(modal.Done());
}

} // namespace
} // namespace ondrel
