#include "widgets/PortComboBox.h"

#include "link/ConnectionState.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSignalBlocker>

namespace gencfg {

namespace {
// The port's text without the busy mark.
constexpr int NameRole = Qt::UserRole + 1;
// Marks the item that asks for a network port; no port name looks like it.
const QString NetworkPortItem = QStringLiteral("\x01network");
} // namespace

PortComboBox::PortComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString path = itemData(index).toString();
        if (path == NetworkPortItem) {
            clearSelection();
            Q_EMIT networkPortAsked();
        } else if (!path.isEmpty())
            Q_EMIT portPicked(path);
    });
    refresh();
    setCurrentIndex(-1);
}

QString PortComboBox::itemText(const QString &portName, const QString &description)
{
    static const QRegularExpression comName(QStringLiteral("^COM(\\d+)$"));
    const QRegularExpressionMatch match = comName.match(portName);
    if (match.hasMatch())
        return QStringLiteral("COM %1").arg(match.captured(1));
    if (description.isEmpty())
        return portName;
    return QStringLiteral("%1 (%2)").arg(portName, description);
}

void PortComboBox::refresh()
{
    const QString current = currentPort();
    const QSignalBlocker blocker(this);
    clear();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString path = info.portName();
#else
        const QString path = info.systemLocation();
#endif
        addPort(itemText(info.portName(), info.description()), path);
        // The adapter, maker included, for whoever hovers over the item or reads it aloud.
        if (const QString adapter = ConnectionState::AdapterText(info); !adapter.isEmpty()) {
            setItemData(count() - 1, adapter, Qt::ToolTipRole);
            setItemData(count() - 1, adapter, Qt::AccessibleDescriptionRole);
        }
    }
    for (const QString &path : m_extraPorts + m_rememberedPorts) {
        if (findData(path) < 0)
            addPort(path, path);
    }
    addItem(networkPortItemText(), NetworkPortItem);
    setItemData(count() - 1, networkPortItemText(), NameRole);
    setCurrentIndex(current.isEmpty() ? -1 : findData(current));
}

void PortComboBox::addPort(const QString &text, const QString &path)
{
    const bool busy = m_busyProbe && m_busyProbe(path);
    addItem(busy ? text + busyMark() : text, path);
    setItemData(count() - 1, text, NameRole);
}

void PortComboBox::addExtraPort(const QString &path)
{
    if (!m_extraPorts.contains(path))
        m_extraPorts.append(path);
    refresh();
}

void PortComboBox::setRememberedPorts(const QStringList &names)
{
    m_rememberedPorts = names;
    refresh();
}

void PortComboBox::showPort(const QString &path)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(path));
}

void PortComboBox::clearSelection()
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
}

QString PortComboBox::currentPort() const
{
    const QString path = currentIndex() < 0 ? QString() : itemData(currentIndex()).toString();
    return path == NetworkPortItem ? QString() : path;
}

QString PortComboBox::portText(const QString &path) const
{
    const int index = findData(path);
    return index < 0 ? path : itemData(index, NameRole).toString();
}

void PortComboBox::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

} // namespace gencfg
