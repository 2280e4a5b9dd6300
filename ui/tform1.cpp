#include "ui/tform1.h"

#include "config/codec.h"
#include "link/frames.h"
#include "ui/logging.h"
#include "ui/messages.h"
#include "ui/tform2.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

const char kStyle[] = R"(
* { font-family: "Liberation Sans", Arial, "MS Sans Serif"; font-size: 11px; }
QPushButton { border: 1px solid transparent; background: transparent; padding: 0px; }
QPushButton:hover { border: 1px solid palette(dark); }
QPushButton:pressed { border: 1px solid palette(shadow); background: palette(midlight); }
QLineEdit, QComboBox { border: 1px solid palette(mid); background: palette(base); padding: 0px 1px; }
QComboBox::drop-down { border: none; width: 14px; }
QMenu { background-color: palette(base); color: palette(text); font-family: Tahoma, "Liberation Sans"; font-size: 11px;
        border: 1px solid palette(mid); }
QMenu::item { padding: 3px 16px 3px 28px; border: 1px solid transparent; }
QMenu::item:selected { background-color: #C6D3EF; border: 1px solid #C6D3EF; color: palette(text); }
QMenu::item:disabled { color: #7A96DF; }
QMenu::separator { height: 1px; background: palette(button); margin: 2px 0px 2px 24px; }
)";

QByteArray bytesOf(const QLineEdit *edit)
{
    return cp1252::fromUnicode(edit->text());
}

} // namespace

TForm1::TForm1(const Environment &env, QWidget *parent)
    : QMainWindow(parent), m_station(env), m_timer1(1, false, env.manualTimers)
{
    setObjectName(QStringLiteral("TForm1"));

    buildWindow();
    buildMenus();
    buildTray();

    connect(&m_station, &Station::statusText, this, &TForm1::setStatus);
    connect(&m_station, &Station::captionChanged, this, &TForm1::setCaption);
    connect(link(), &Link::portStateChanged, this, &TForm1::setManualButtonsEnabled);
    connect(&m_timer1, &PaceTimer::timeout, this, &TForm1::Timer1Timer);
    sendQueue()->setAddressSource([this] { return cp1252::fromUnicode(m_address->currentText()); });

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    QString error;
    if (m_station.load(&error) == Settings::LoadResult::Failed) {
        // The window still opens and its menu works; nothing starts by itself.
        QTimer::singleShot(0, this, [this, error] { messages::error(this, QStringLiteral("Vantrel"), error); });
        return;
    }
    m_timer1.setEnabled(true);
}

void TForm1::buildWindow()
{
    setWindowTitle(QStringLiteral("Vantrel"));
    setWindowIcon(QIcon(QStringLiteral(":/vantrel/vantrel.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font;
    // A narrow sans with Arial's metrics, so the captions fit their buttons as on Windows.
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("MS Sans Serif")});
    font.setPixelSize(11);
    setFont(font);
    setStyleSheet(QLatin1String(kStyle));

    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFixedSize(244, 120);
    setCentralWidget(m_panel);

    const char *lineNames[] = {"ed_l1", "ed_l2", "ed_l3", "ed_l4"};
    for (int i = 0; i < 4; ++i) {
        m_lines[i] = new QLineEdit(QStringLiteral("línea %1").arg(i + 1), m_panel);
        m_lines[i]->setObjectName(QLatin1String(lineNames[i]));
        m_lines[i]->setGeometry(0, 2 + 24 * i, 121, 19);
        m_lines[i]->installEventFilter(this);
    }

    auto button = [this](const char *name, const QString &text, QRect geometry, void (TForm1::*handler)()) {
        auto *b = new QPushButton(text, m_panel);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(geometry);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    m_send = button("b_send", QStringLiteral("Enviar mensaje"), {0, 96, 85, 22}, &TForm1::b_sendClick);
    m_clear = button("b_clear", QStringLiteral("Borrar"), {88, 96, 35, 22}, &TForm1::b_clearClick);
    m_lcdown = button("b_lcdown", QStringLiteral("Apagar LCD"), {136, 8, 97, 22}, &TForm1::b_lcdownClick);
    m_down = button("b_down", QStringLiteral("Apagar terminal"), {136, 36, 97, 22}, &TForm1::b_downClick);

    auto *label2 = new QLabel(QStringLiteral("Tiempo (0,5h)"), m_panel);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(128, 69, 65, 13);
    m_time = new QLineEdit(QStringLiteral("1"), m_panel);
    m_time->setObjectName(QStringLiteral("ed_time"));
    m_time->setGeometry(200, 66, 41, 19);

    auto *label1 = new QLabel(QStringLiteral("Dirección"), m_panel);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(128, 100, 45, 13);
    m_address = new QComboBox(m_panel);
    m_address->setObjectName(QStringLiteral("c_dir"));
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 0; i <= 9; ++i)
        m_address->addItem(QString::number(i));
    m_address->setCurrentIndex(0);
    m_address->setGeometry(192, 96, 49, 21);

    QWidget::setTabOrder(m_lines[0], m_lines[1]);
    QWidget::setTabOrder(m_lines[1], m_lines[2]);
    QWidget::setTabOrder(m_lines[2], m_lines[3]);
    QWidget::setTabOrder(m_lines[3], m_address);
    QWidget::setTabOrder(m_address, m_time);

    m_stb = new QStatusBar(this);
    m_stb->setObjectName(QStringLiteral("stb"));
    m_stb->setFixedHeight(19);
    m_stb->setSizeGripEnabled(false);
    m_status = new QLabel(m_stb);
    m_status->setObjectName(QStringLiteral("stbPanel0"));
    m_status->setMinimumWidth(50);
    m_stb->addWidget(m_status, 1);
    setStatusBar(m_stb);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm1::buildMenus()
{
    QMenu *archivo = menuBar()->addMenu(QStringLiteral("Archivo"));
    archivo->setObjectName(QStringLiteral("Archiv1"));
    m_mback = archivo->addAction(QStringLiteral("Activar"), this, &TForm1::mbackClick);
    m_mback->setObjectName(QStringLiteral("mback"));
    m_mback->setEnabled(false);
    m_mstop = archivo->addAction(QStringLiteral("Detener"), this, &TForm1::mstopClick);
    m_mstop->setObjectName(QStringLiteral("mstop"));
    m_mstop->setEnabled(false);
    QAction *mclose = archivo->addAction(QStringLiteral("Salir"), this, &TForm1::salir1Click);
    mclose->setObjectName(QStringLiteral("mclose"));

    QMenu *edicion = menuBar()->addMenu(QStringLiteral("Edición"));
    edicion->setObjectName(QStringLiteral("Configuracin1"));
    QAction *config = edicion->addAction(QStringLiteral("Configuración"), this, &TForm1::Configuracin2Click);
    config->setObjectName(QStringLiteral("Configuracin2"));
}

void TForm1::buildTray()
{
    m_poptray = new QMenu(this);
    m_poptray->setObjectName(QStringLiteral("poptray"));
    m_poptray->addAction(QStringLiteral("Mostrar"), this, &TForm1::Mostrar1Click)
        ->setObjectName(QStringLiteral("Mostrar1"));
    m_poptray->addAction(QStringLiteral("Ocultar"), this, &TForm1::Ocultar1Click)
        ->setObjectName(QStringLiteral("Ocultar1"));
    m_poptray->addSeparator()->setObjectName(QStringLiteral("N1"));
    m_poptray->addAction(QStringLiteral("Salir"), this, &TForm1::salir1Click)->setObjectName(QStringLiteral("salir1"));

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setObjectName(QStringLiteral("tray"));
    m_tray->setToolTip(QStringLiteral("Vantrel"));
    m_tray->setContextMenu(m_poptray);
    static bool warned = false;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray->show();
    } else if (!std::exchange(warned, true)) {
        qCWarning(lcUi) << "no notification area on this desktop; running with the window only";
    }
}

QString TForm1::statusText() const
{
    return m_status->text();
}

void TForm1::setStatus(const QByteArray &text)
{
    m_status->setText(cp1252::toUnicode(text));
}

void TForm1::setCaption(const QByteArray &text)
{
    setWindowTitle(cp1252::toUnicode(text));
}

void TForm1::setManualButtonsEnabled(bool on)
{
    for (QPushButton *b : {m_send, m_clear, m_lcdown, m_down})
        b->setEnabled(on);
}

int TForm1::OpenPort(const QByteArray &name)
{
    QString error;
    const int result = link()->OpenPort(name, &error);
    if (result == Link::kBadPortName)
        messages::error(this, QStringLiteral("Vantrel"), error);
    return result;
}

void TForm1::Timer1Timer()
{
    m_timer1.setEnabled(false);
    if (!settings().cfgServer.isEmpty() && !settings().cfgPort.isEmpty()) {
        const int result = OpenPort(settings().cfgPort);
        if (result == Link::kBadPortName)
            return;
        if (result == 0) {
            m_mback->setEnabled(true);
            mbackClick();
            return;
        }
    }
    Configuracin2Click();
}

void TForm1::mbackClick()
{
    m_panel->setEnabled(false);
    trepeat()->setEnabled(false);
    m_station.setBackground(true);
    m_mback->setEnabled(false);
    m_mstop->setEnabled(true);
}

void TForm1::mstopClick()
{
    m_panel->setEnabled(true);
    m_station.setBackground(false);
    trepeat()->setEnabled(true);
    m_mback->setEnabled(true);
    m_mstop->setEnabled(false);
}

void TForm1::Configuracin2Click()
{
    if (m_form2)
        m_form2->exec();
}

void TForm1::Mostrar1Click()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    m_station.setBackground(false);
    trepeat()->setEnabled(true);
}

void TForm1::Ocultar1Click()
{
    hide();
}

void TForm1::salir1Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    m_tray->hide();
    event->accept();
    Q_EMIT formClosed();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // A click in a line box selects its whole text, so that typing replaces it.
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::b_sendClick()
{
    QByteArray lines[4];
    for (int i = 0; i < 4; ++i)
        lines[i] = bytesOf(m_lines[i]);
    if (lines[0].isEmpty() && lines[1].isEmpty() && lines[2].isEmpty() && lines[3].isEmpty())
        return;
    sendQueue()->clear();
    QByteArray job(1, frames::kStx);
    for (const QByteArray &line : lines)
        job += (line.isEmpty() ? QByteArray() : frames::CenterLine(line)) + frames::kStx;
    sendQueue()->add(job);
}

void TForm1::queueCommand(const QByteArray &letterAndTime)
{
    sendQueue()->add(cp1252::fromUnicode(m_address->currentText()) + letterAndTime);
}

void TForm1::b_clearClick()
{
    queueCommand("B");
}

void TForm1::b_lcdownClick()
{
    queueCommand("P");
}

void TForm1::b_downClick()
{
    queueCommand('S' + bytesOf(m_time));
}
