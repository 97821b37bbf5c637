// The window's modal message box.
#pragma once

#include <QWidget>
#include <string>

#include "dialog/tracker_config_services.h"

namespace vorlen {

// A modal box over `parent` with the text and caption (UTF-8) and an OK button,
// or OK and Cancel, where Escape and the close box answer Cancel.
MessageAnswer ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                             MessageButtons buttons);

}  // namespace vorlen
