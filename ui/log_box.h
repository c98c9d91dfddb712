#pragma once

#include <QObject>
#include <functional>

#include "core/log_buffer.h"

class QPlainTextEdit;

namespace vadozoz::ui {

// Keeps the log box and the LogBuffer one text. The buffer is the model:
// a program change (SetText, Append, Clear) is mirrored into the box with
// the box's own notifications held back, and what the user types is fed
// into the buffer as an edit of the same bytes. Either way `onChange` then
// runs once, synchronously, and not at all when the text stayed the same.
class LogBox : public QObject {
public:
    LogBox(QPlainTextEdit* box, LogBuffer& buffer, std::function<void()> onChange);

private:
    void MirrorIntoBox(const LogChange& change);
    void TakeUserEdit(int position, int removed, int added);

    QPlainTextEdit* box_;
    LogBuffer& buffer_;
    std::function<void()> onChange_;
    bool mirroring_ = false;  // the box is being set from the buffer
    bool editing_ = false;    // the buffer is being set from the box
};

// Box text (paragraph separators) to log text (CR LF), and back.
std::string LogTextOf(const QString& boxText);
QString BoxTextOf(std::string_view logText);

}  // namespace vadozoz::ui
