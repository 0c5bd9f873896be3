#pragma once
#include "ondrel/common/progress.h"
#include <functional>
#include <string>

class QWidget;

namespace ondrel {

// Runs `work` on a worker thread while the window's thread keeps painting.
// Input to the window is held back until the work ends; after half a second a
// modal progress dialog with Cancel shows over `owner`. Cancel makes the next
// progress report answer stop. Whatever `work` throws is thrown here.
void RunWithProgressDialog(QWidget* owner, const std::string& title, const std::function<void(const Progress&)>& work);

} // namespace ondrel
