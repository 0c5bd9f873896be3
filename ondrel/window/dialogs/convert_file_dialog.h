#pragma once
#include "ondrel/window/dialogs/save_folder_dialog.h"

class QCheckBox;
class QComboBox;

namespace ondrel {

// "ConvertFileDialog": the folder chooser of Save As with the two kinds of
// data to export and the format to write them in ("CboFormat": the formats
// this build writes, the tab-separated text first and chosen). OK with no
// folder name is refused and the dialog stays.
class ConvertFileDialog final : public SaveFolderDialog {
    Q_OBJECT
public:
    ConvertFileDialog(const std::string& drive, const std::string& dir, bool hasAI, bool hasDI, QWidget* owner);

    ExportChoice Chosen() const;
    void accept() override;

private:
    QCheckBox* chkAI_;
    QCheckBox* chkDI_;
    QComboBox* cboFormat_;
};

} // namespace ondrel
