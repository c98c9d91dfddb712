#include "modal_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace vadozoz::ui::testing {

ModalWatcher::ModalWatcher() {
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::Poll);
    timer_.start(5);
}

void ModalWatcher::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    seen.push_back({box->icon(), box->windowTitle(), box->text(),
                    static_cast<int>(box->buttons().size())});
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        QTest::mouseClick(ok, Qt::LeftButton);
    } else {
        box->reject();
    }
}

}  // namespace vadozoz::ui::testing
