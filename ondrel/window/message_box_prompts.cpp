#include "ondrel/window/message_box_prompts.h"
#include <QMessageBox>

namespace ondrel {

void MessageBoxPrompts::MsgBox(const std::string& text, const std::string& title)
{
    QMessageBox::information(owner_, QString::fromStdString(title.empty() ? "Ondrel" : title),
                             QString::fromStdString(text));
}

} // namespace ondrel
