// The about box and the application's icon.
#pragma once

#include <QDialog>
#include <QIcon>

namespace vorlen {

// The icon of the window, the task bar and the about box.
QIcon ApplicationIcon();

// "About Vorlen": the icon, the version and an OK button.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace vorlen
