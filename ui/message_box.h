#pragma once

#include "core/message.h"

class QWidget;

namespace vadozoz::ui {

// A modal box with one OK button; the message's kind picks icon and title.
void ShowMessage(QWidget* parent, const Message& message);

}  // namespace vadozoz::ui
