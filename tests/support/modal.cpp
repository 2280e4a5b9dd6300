#include "tests/support/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

ModalAnswerer::ModalAnswerer()
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::look);
    m_timer.start();
}

void ModalAnswerer::thenOk()
{
    then([](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w))
            box->button(QMessageBox::Ok)->click();
    });
}

void ModalAnswerer::look()
{
    QWidget *w = QApplication::activeModalWidget();
    if (!w) {
        m_last = nullptr;
        return;
    }
    if (w == m_last)
        return;
    m_last = w;
    ++modalsSeen;
    if (auto *box = qobject_cast<QMessageBox *>(w)) {
        boxTitles.append(box->windowTitle());
        boxTexts.append(box->text());
    }
    std::function<void(QWidget *)> action = m_actions.isEmpty() ? nullptr : m_actions.takeFirst();
    // Acted on from a fresh turn of the event loop, so that a window the action opens
    // in its turn is still seen by this timer.
    QTimer::singleShot(0, this, [this, guard = QPointer<QWidget>(w), action] {
        if (!guard)
            return;
        if (action)
            action(guard);
        else if (auto *box = qobject_cast<QMessageBox *>(guard.data()))
            box->button(QMessageBox::Ok)->click();
        else
            guard->close();
        if (!guard || !guard->isVisible())
            m_last = nullptr;
    });
}
