#include <QApplication>
#include <QScreen>
#include <QStyle>

#include "core/log_location.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vadozoz"));
    vadozoz::ui::Form1 form(vadozoz::DefaultLogLocation());
    if (!form.Load()) return 1;
    form.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, form.size(),
                                         form.screen()->availableGeometry()));
    form.show();
    return app.exec();
}
