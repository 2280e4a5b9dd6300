#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers modal windows as they open: each one found is passed to the next action
// given (or, with none left, closed), and the texts of message boxes are recorded.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    ModalAnswerer();

    // The next modal window is handed to action.
    void then(std::function<void(QWidget *)> action) { m_actions.append(std::move(action)); }
    // Closes the next message box with OK.
    void thenOk();

    QStringList boxTitles;
    QStringList boxTexts;
    int modalsSeen = 0;

private:
    void look();

    QTimer m_timer;
    QList<std::function<void(QWidget *)>> m_actions;
    QWidget *m_last = nullptr;
};
