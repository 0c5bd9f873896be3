#include "window/modal_steps.h"
#include "ondrel/window/message_box_prompts.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
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

// A message the dialogs show over themselves, as any other of the program's.
void ExpectMessage(QDialog& dialog, const char* text)
{
    auto& box = static_cast<QMessageBox&>(dialog);
    EXPECT_EQ(box.text(), text);
    EXPECT_EQ(box.windowTitle(), "Ondrel");
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    box.buttons().front()->click();
}

TEST_F(MessageBoxes, TheConvertChooserAsksForDIAndRefusesAnEmptyFolderName)
{
    QTemporaryDir dir;
    modal.Then("ConvertFileDialog", [](QDialog& d) {
        auto* ai = d.findChild<QCheckBox*>("ChkAI");
        auto* di = d.findChild<QCheckBox*>("ChkDI");
        EXPECT_EQ(di->text(), "&DI File");
        EXPECT_TRUE(ai->isChecked());
        EXPECT_TRUE(di->isEnabled());
        EXPECT_FALSE(di->isChecked());
        d.findChild<QAbstractButton*>("OKButton")->click(); // no folder name
    });
    modal.Then("MsgBox", [](QDialog& box) { ExpectMessage(box, "Folder Name should not be null"); });
    modal.Then("ConvertFileDialog", [](QDialog& d) {
        EXPECT_TRUE(d.isVisible()); // still open for the name
        d.findChild<QLineEdit*>("txtFolderName")->setText("text");
        d.findChild<QCheckBox*>("ChkDI")->click();
        d.findChild<QAbstractButton*>("OKButton")->click();
    });
    const auto chosen = prompts.ChooseExportFolder("/", dir.path().toStdString(), true, true);
    EXPECT_TRUE(modal.Done());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->folder.folderName, "text");
    EXPECT_TRUE(chosen->ai);
    EXPECT_TRUE(chosen->di);
}

TEST_F(MessageBoxes, TheConvertChooserOffersTheFormatsWithTheTextFirstAndChosen)
{
    QTemporaryDir dir;
    modal.Then("ConvertFileDialog", [](QDialog& d) {
        auto* formats = d.findChild<QComboBox*>("CboFormat");
        ASSERT_NE(formats, nullptr);
        EXPECT_EQ(formats->currentText(), "Tab-separated text (*.xlt)");
        EXPECT_EQ(formats->currentIndex(), 0);
        ASSERT_GE(formats->count(), 2);
        EXPECT_EQ(formats->itemText(1), "Comma-separated values, UTF-8 (*.csv)");
        formats->setCurrentIndex(1);
        d.findChild<QLineEdit*>("txtFolderName")->setText("csv");
        d.findChild<QAbstractButton*>("OKButton")->click();
    });
    modal.Then("ConvertFileDialog", [](QDialog& d) {
        d.findChild<QLineEdit*>("txtFolderName")->setText("text");
        d.findChild<QAbstractButton*>("OKButton")->click();
    });
    const auto csv = prompts.ChooseExportFolder("/", dir.path().toStdString(), true, true);
    const auto text = prompts.ChooseExportFolder("/", dir.path().toStdString(), true, true);
    EXPECT_TRUE(modal.Done());
    ASSERT_TRUE(csv.has_value() && text.has_value());
    EXPECT_EQ(csv->format, ExportFormat::Csv);
    EXPECT_EQ(text->format, ExportFormat::Text);
}

TEST_F(MessageBoxes, ADriveThatCannotBeReadIsRefusedAndTheChooserStaysWhereItWas)
{
    QTemporaryDir dir;
    modal.Then("Dialog", [&dir](QDialog& d) {
        auto* drives = d.findChild<QComboBox*>("Drive1");
        const QString gone = dir.path() + "/no-such-drive";
        drives->addItem(gone);
        drives->setCurrentText(gone);
        EXPECT_EQ(drives->currentText(), "/");
        d.findChild<QAbstractButton*>("BtnCancel")->click();
    });
    modal.Then("MsgBox", [](QDialog& box) { ExpectMessage(box, "Invalid Drive !"); });
    EXPECT_FALSE(prompts.ChooseSaveFolder("/", dir.path().toStdString()).has_value());
    EXPECT_TRUE(modal.Done());
}

} // namespace
} // namespace ondrel
