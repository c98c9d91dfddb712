#include "message_box.h"

#include <QMessageBox>

namespace vadozoz::ui {

void ShowMessage(QWidget* parent, const Message& message) {
    const bool validation = message.kind == MessageKind::Validation;
    const QMessageBox::Icon icon = validation                                  ? QMessageBox::NoIcon
                                   : message.kind == MessageKind::Information ? QMessageBox::Information
                                                                               : QMessageBox::Warning;
    const std::string_view title = validation ? ValidationTitle : AppTitle;
    QString text = QString::fromStdString(message.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace vadozoz::ui
