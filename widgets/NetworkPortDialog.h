#pragma once

// Asks for a port on the network: host, port number and protocol (raw TCP or RFC 2217).

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace gencfg {

class NetworkPortDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NetworkPortDialog(QWidget *parent = nullptr);

    // "tcp://HOST:PORT" or "rfc2217://HOST:PORT"; empty while no host is given.
    QString portName() const;

private:
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QComboBox *m_protocol = nullptr;
};

} // namespace gencfg
