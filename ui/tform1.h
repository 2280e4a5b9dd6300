#pragma once

#include "config/clock.h"
#include "config/environment.h"
#include "config/pacetimer.h"
#include "config/settings.h"
#include "link/link.h"
#include "link/rng.h"
#include "link/sendqueue.h"
#include "schedule/backgroundcycle.h"
#include "web/webpoller.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QNetworkAccessManager;
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

    const Environment &environment() const { return m_env; }
    Settings &settings() { return m_settings; }
    Link *link() { return m_link.get(); }
    SendQueue *sendQueue() { return m_queue.get(); }
    BackgroundCycle *cycle() { return m_cycle.get(); }
    WebPoller *poller() { return m_poller.get(); }
    Rng *rng() { return &m_rng; }

    PaceTimer *trepeat() { return m_queue->trepeat(); }
    PaceTimer *tbckg() { return m_cycle->tbckg(); }
    PaceTimer *tweb() { return m_poller->tweb(); }
    PaceTimer *Timer1() { return &m_timer1; }
    bool running() const { return m_cycle->running(); }
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

    Environment m_env;
    Settings m_settings;
    Clock m_defaultClock;
    std::unique_ptr<QNetworkAccessManager> m_ownNetwork;
    Rng m_rng;
    std::unique_ptr<Link> m_link;
    std::unique_ptr<SendQueue> m_queue;
    std::unique_ptr<BackgroundCycle> m_cycle;
    std::unique_ptr<WebPoller> m_poller;
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
