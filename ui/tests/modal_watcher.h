#pragma once

#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <vector>

namespace vadozoz::ui::testing {

struct SeenMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    int buttons;  // number of buttons the box offered
};

// While it lives, answers every message box that opens by clicking its OK
// button with the mouse, and keeps what each box showed.
class ModalWatcher : public QObject {
public:
    ModalWatcher();
    std::vector<SeenMessage> seen;

private:
    void Poll();
    QTimer timer_;
};

}  // namespace vadozoz::ui::testing
