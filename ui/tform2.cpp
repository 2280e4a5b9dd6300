#include "ui/tform2.h"

#include "config/codec.h"
#include "config/portmap.h"
#include "ui/messages.h"
#include "ui/tform1.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm2::TForm2(TForm1 *form1) : QDialog(form1), m_form1(form1)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Configuración"));
    setWindowIcon(form1->windowIcon());
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    setFont(font);
    setStyleSheet(form1->styleSheet());
    resize(215, 173);

    auto label = [this](const char *name, const QString &text, QRect geometry) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(geometry);
    };
    label("Label1", QStringLiteral("Puerto del transmisor"), {8, 11, 102, 14});
    label("Label2", QStringLiteral("Servidor de datos"), {8, 32, 86, 14});
    label("Label3", QStringLiteral("Extensión para el servidor de datos"), {8, 72, 171, 14});

    m_ports = new QComboBox(this);
    m_ports->setObjectName(QStringLiteral("c_ports"));
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setGeometry(120, 8, 83, 22);

    m_server = new QLineEdit(this);
    m_server->setObjectName(QStringLiteral("ed_servidor"));
    m_server->setGeometry(8, 48, 169, 20);

    m_ext = new QLineEdit(this);
    m_ext->setObjectName(QStringLiteral("ed_ext"));
    m_ext->setGeometry(8, 88, 169, 20);

    auto button = [this](const char *name, const QString &text, QRect geometry, void (TForm2::*handler)()) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(geometry);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    QPushButton *serv = button("b_serv", QStringLiteral("..."), {184, 48, 19, 19}, &TForm2::b_servClick);
    QFont bold = font;
    bold.setPixelSize(13);
    bold.setBold(true);
    serv->setFont(bold);
    serv->setStyleSheet(
        QStringLiteral("QPushButton { border: 1px outset palette(dark); background: palette(button); }"));
    button("b_ok", QStringLiteral("Aceptar"), {8, 120, 73, 22}, &TForm2::b_okClick);
    button("b_cancel", QStringLiteral("Cancelar"), {128, 120, 73, 22}, &TForm2::b_cancelClick);

    QWidget::setTabOrder(m_server, m_ports);
    QWidget::setTabOrder(m_ports, m_ext);

    m_od = new QFileDialog(this);
    m_od->setObjectName(QStringLiteral("od"));
    m_od->setFileMode(QFileDialog::ExistingFile);

    FormCreate();
}

void TForm2::FormCreate()
{
    Settings &s = m_form1->settings();
    int selected = -1;
    for (const PortMap::Entry &e : m_form1->link()->portMap().entries()) {
        const QByteArray name = "COM" + QByteArray::number(e.number);
        m_ports->addItem(QString::fromLatin1(name));
        if (name == s.cfgPort && m_form1->OpenPort(s.cfgPort) == 0)
            selected = m_ports->count() - 1;
    }
    m_ports->setCurrentIndex(selected);
    m_server->setText(cp1252::toUnicode(s.cfgServer));
    m_ext->setText(cp1252::toUnicode(s.cfgExt));
}

void TForm2::b_servClick()
{
    if (m_od->exec() != QDialog::Accepted)
        return;
    const QStringList files = m_od->selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return;
    QString folder = QFileInfo(files.first()).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_server->setText(folder);
}

void TForm2::fail(const QString &message)
{
    messages::error(this, QStringLiteral("Error"), message);
}

void TForm2::b_okClick()
{
    const QByteArray port = cp1252::fromUnicode(m_ports->currentText());
    const QByteArray server = cp1252::fromUnicode(m_server->text());
    const QByteArray ext = cp1252::fromUnicode(m_ext->text());

    if (!port.contains("COM"))
        return fail(QStringLiteral("Debe seleccionar el puerto del transmisor"));
    const int opened = m_form1->OpenPort(port);
    if (opened == Link::kBadPortName)
        return;
    if (opened != 0)
        return fail(QStringLiteral("El puerto seleccionado está ocupado"));
    if (server.isEmpty())
        return fail(QStringLiteral("Debe indicar donde se encuentran los archivos de mensajes"));
    if (Settings::isWebServer(server)) {
        if (ext.isEmpty())
            return fail(QStringLiteral("Debe indicar la extensión de empresa para el servidor de datos"));
    } else if (!QFileInfo(QDir(m_form1->environment().workDir), cp1252::toUnicode(server)).isDir()) {
        return fail(QStringLiteral("La carpeta de datos debe existir"));
    }

    QString error;
    if (!Settings::save(m_form1->environment().workDir, m_form1->settings().cfgPort, server, ext, &error)) {
        messages::error(this, QStringLiteral("Vantrel"), error);
        return;
    }
    m_form1->mback()->setEnabled(true);
    accept();
}

void TForm2::b_cancelClick()
{
    reject();
}
