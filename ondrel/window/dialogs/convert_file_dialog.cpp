#include "ondrel/window/dialogs/convert_file_dialog.h"
#include "ondrel/export/export_formats.h"
#include "ondrel/window/message_box.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace ondrel {

ConvertFileDialog::ConvertFileDialog(const std::string& drive, const std::string& dir, bool hasAI, bool hasDI,
                                     QWidget* owner)
    : SaveFolderDialog(drive, dir, owner), chkAI_(new QCheckBox("&AI File", this)),
      chkDI_(new QCheckBox("&DI File", this)), cboFormat_(new QComboBox(this))
{
    setObjectName("ConvertFileDialog");
    setWindowTitle("Convert");
    chkAI_->setObjectName("ChkAI");
    chkDI_->setObjectName("ChkDI");
    // AI is exported unless the operator says otherwise; DI must be asked for.
    chkAI_->setEnabled(hasAI);
    chkAI_->setChecked(hasAI);
    chkDI_->setEnabled(hasDI);
    chkDI_->setChecked(false);
    cboFormat_->setObjectName("CboFormat");
    for (const ExportFormatInfo& info : OfferedFormats())
        cboFormat_->addItem(QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())),
                            static_cast<int>(info.format));
    cboFormat_->setCurrentIndex(0);
    auto* format = new QFormLayout;
    format->addRow("&Format:", cboFormat_);
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertWidget(column->count() - 1, chkAI_);
    column->insertWidget(column->count() - 1, chkDI_);
    column->insertLayout(column->count() - 1, format);
}

ExportChoice ConvertFileDialog::Chosen() const
{
    return {Choice(), chkAI_->isChecked(), chkDI_->isChecked(),
            static_cast<ExportFormat>(cboFormat_->currentData().toInt())};
}

void ConvertFileDialog::accept()
{
    if (Choice().folderName.empty()) {
        ShowMessage(this, "Folder Name should not be null", "Ondrel");
        return;
    }
    SaveFolderDialog::accept();
}

} // namespace ondrel
