#pragma once

#include <QString>

class QWidget;

namespace messages {

// A modal error box: the given title, the error icon and one OK button.
void error(QWidget *parent, const QString &title, const QString &text);

} // namespace messages
