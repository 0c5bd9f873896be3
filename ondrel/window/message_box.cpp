#include "ondrel/window/message_box.h"
#include <QMessageBox>

namespace ondrel {

void ShowMessage(QWidget* owner, const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title.empty() ? "Ondrel" : title),
                    QString::fromStdString(text), QMessageBox::Ok, owner);
    box.setObjectName("MsgBox");
    box.exec();
}

} // namespace ondrel
