#include "widgets/NetworkPortDialog.h"

#include "link/NetworkPortName.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace gencfg {

NetworkPortDialog::NetworkPortDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Сетевой порт"));
    m_host = new QLineEdit(this);
    m_host->setPlaceholderText(QStringLiteral("127.0.0.1"));
    m_port = new QSpinBox(this);
    m_port->setRange(1, 65535);
    m_port->setValue(4001);
    m_protocol = new QComboBox(this);
    m_protocol->addItem(tr("RFC 2217 (Telnet)"), QVariant::fromValue(int(NetworkProtocol::Rfc2217)));
    m_protocol->addItem(tr("TCP без протокола"), QVariant::fromValue(int(NetworkProtocol::RawTcp)));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_host, &QLineEdit::textChanged, this,
            [this, buttons] { buttons->button(QDialogButtonBox::Ok)->setEnabled(!portName().isEmpty()); });
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    auto *form = new QFormLayout(this);
    form->addRow(tr("Хост:"), m_host);
    form->addRow(tr("Порт:"), m_port);
    form->addRow(tr("Протокол:"), m_protocol);
    form->addRow(buttons);
}

QString NetworkPortDialog::portName() const
{
    NetworkAddress address;
    address.host = m_host->text().trimmed();
    address.port = quint16(m_port->value());
    address.protocol = NetworkProtocol(m_protocol->currentData().toInt());
    // Only a name the transport accepts: a host with a slash or a space is no host.
    if (address.host.isEmpty() || !ParseNetworkPort(NetworkPortName(address)))
        return {};
    return NetworkPortName(address);
}

} // namespace gencfg
