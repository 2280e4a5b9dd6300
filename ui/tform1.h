#pragma once

#include "config/pacetimer.h"
#include "web/station.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QSystemTrayIcon;
class TForm2;

// The main window: the manual controls, the status line and caption, the menus, the
// tray icon and the switch between manual and background mode.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(const Environment &env, QWidget *parent = nullptr);
    ~TForm1() override;

    void setConfigDialog(TForm2 *dialog) { m_form2 = dialog; }

    Station &station() { return m_station; }
    const Environment &environment() const { return m_station.environment(); }
    Settings &settings() { return m_station.settings(); }
    Link *link() { return &m_station.link(); }
    SendQueue *sendQueue() { return &m_station.queue(); }
    BackgroundCycle *cycle() { return &m_station.cycle(); }
    WebPoller *poller() { return &m_station.poller(); }
    Rng *rng() { return &m_station.rng(); }

    PaceTimer *trepeat() { return sendQueue()->trepeat(); }
    PaceTimer *tbckg() { return cycle()->tbckg(); }
    PaceTimer *tweb() { return poller()->tweb(); }
    PaceTimer *Timer1() { return &m_timer1; }
    bool running() { return cycle()->running(); }
    QSystemTrayIcon *tray() { return m_tray; }

    QString statusText() const;

    // Opens the named port (see Link::OpenPort); a name without a number is reported
    // in an error box and leaves everything as it was.
    int OpenPort(const QByteArray &name);

    // Start-up decision: background mode when configured and the port opens,
    // otherwise the configuration dialog.
    void Timer1Timer();
    void mbackClick();
    void mstopClick();
    void Configuracin2Click();
    void Mostrar1Click();
    void Ocultar1Click();
    void salir1Click();

    void b_sendClick();
    void b_clearClick();
    void b_lcdownClick();
    void b_downClick();

    QAction *mback() { return m_mback; }
    QAction *mstop() { return m_mstop; }

Q_SIGNALS:
    // The window has closed: the program ends.
    void formClosed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildWindow();
    void buildMenus();
    void buildTray();
    void setStatus(const QByteArray &text);
    void setCaption(const QByteArray &text);
    void queueCommand(const QByteArray &letterAndTime);
    void setManualButtonsEnabled(bool on);

    Station m_station;
    PaceTimer m_timer1;
    TForm2 *m_form2 = nullptr;

    QWidget *m_panel = nullptr;
    QLineEdit *m_lines[4] = {};
    QLineEdit *m_time = nullptr;
    QComboBox *m_address = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_lcdown = nullptr;
    QPushButton *m_down = nullptr;
    QStatusBar *m_stb = nullptr;
    QLabel *m_status = nullptr;
    QAction *m_mback = nullptr;
    QAction *m_mstop = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_poptray = nullptr;
};
