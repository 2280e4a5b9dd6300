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
    QPointer<QWidget> guard(w);
    if (!m_actions.isEmpty())
        m_actions.takeFirst()(w);
    else if (auto *box = qobject_cast<QMessageBox *>(w))
        box->button(QMessageBox::Ok)->click();
    else
        w->close();
    if (!guard || !guard->isVisible())
        m_last = nullptr;
}
