#pragma once

#include <QDialog>

class QComboBox;
class QFileDialog;
class QLineEdit;
class QPushButton;
class TForm1;

// The configuration dialog: transmitter port, data server (web host or folder) and
// company extension. Accepting checks the choice, opens the port and saves ini.cfg.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(TForm1 *form1);

    QFileDialog *od() { return m_od; }

    void b_servClick();
    void b_okClick();
    void b_cancelClick();

private:
    void FormCreate();
    void fail(const QString &message);

    TForm1 *m_form1;
    QComboBox *m_ports = nullptr;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_ext = nullptr;
    QFileDialog *m_od = nullptr;
};
