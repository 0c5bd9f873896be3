#pragma once
#include "ondrel/window/dialogs/save_folder_dialog.h"

class QCheckBox;

namespace ondrel {

// "ConvertFileDialog": the folder chooser of Save As with the two kinds of
// data to export. OK with no folder name is refused and the dialog stays.
class ConvertFileDialog final : public SaveFolderDialog {
    Q_OBJECT
public:
    ConvertFileDialog(const std::string& drive, const std::string& dir, bool hasAI, bool hasDI, QWidget* owner);

    ExportChoice Chosen() const;
    void accept() override;

private:
    QCheckBox* chkAI_;
    QCheckBox* chkDI_;
};

} // namespace ondrel
