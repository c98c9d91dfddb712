#include "log_box.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace vadozoz::ui {
namespace {

// Shift+Enter would put a line separator inside a paragraph; in the log every
// Enter is one line end.
class PlainEnter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            return false;
        }
        static_cast<QPlainTextEdit*>(watched)->textCursor().insertText(QStringLiteral("\n"));
        return true;
    }
};

}  // namespace

std::string LogTextOf(const QString& boxText) {
    QString text = boxText;
    text.replace(QChar::LineFeed, QChar::ParagraphSeparator);
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text.toStdString();
}

QString BoxTextOf(std::string_view logText) {
    QString text = QString::fromUtf8(logText.data(), static_cast<qsizetype>(logText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

LogBox::LogBox(QPlainTextEdit* box, LogBuffer& buffer, std::function<void()> onChange)
    : QObject(box), box_(box), buffer_(buffer), onChange_(std::move(onChange)) {
    box_->installEventFilter(new PlainEnter(this));
    buffer_.SetListener([this](const LogChange& change) {
        if (!editing_) MirrorIntoBox(change);
        onChange_();
    });
    connect(box_->document(), &QTextDocument::contentsChange, this, &LogBox::TakeUserEdit);
}

void LogBox::MirrorIntoBox(const LogChange& change) {
    mirroring_ = true;
    const std::string& text = buffer_.GetText();
    const bool appended = change.removed == 0 && change.offset + change.inserted == text.size();
    if (text.empty()) {
        box_->clear();
    } else if (appended && change.offset > 0) {
        // One record at the end: no reset of the whole box.
        QTextCursor end(box_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(BoxTextOf(std::string_view(text).substr(change.offset)));
    } else {
        box_->setPlainText(BoxTextOf(text));
    }
    mirroring_ = false;
}

// `removed` is not needed: the text after the edit tells where it ended.
void LogBox::TakeUserEdit(int position, int /*removed*/, int added) {
    if (mirroring_) return;
    QTextDocument* doc = box_->document();
    const int length = doc->characterCount() - 1;  // without the final paragraph end
    editing_ = true;
    if (!buffer_.IsAscii() || position + added > length) {
        // Rare (text beyond ASCII, or Qt reporting past the end): take it whole.
        buffer_.SetText(LogTextOf(doc->toRawText()));
    } else {
        // With ASCII text a box position p is log byte p + (line ends before p),
        // since each line end is one character in the box and two bytes (CR LF)
        // in the log. What follows the edit is the same before and after it.
        const auto lineEndsBefore = [doc](int p) { return doc->findBlock(p).blockNumber(); };
        const int end = position + added;
        const std::size_t start = static_cast<std::size_t>(position + lineEndsBefore(position));
        const int lineEndsAfter = doc->blockCount() - 1 - lineEndsBefore(end);
        const std::size_t tail = static_cast<std::size_t>(length - end + lineEndsAfter);
        const std::size_t oldEnd = buffer_.GetText().size() - tail;
        QTextCursor span(doc);
        span.setPosition(position);
        span.setPosition(end, QTextCursor::KeepAnchor);
        buffer_.Replace(start, oldEnd - start, LogTextOf(span.selectedText()));
    }
    editing_ = false;
}

}  // namespace vadozoz::ui
