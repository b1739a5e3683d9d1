#pragma once

// The serial-port chooser (`portCombo`): a drop-down list of the ports
// that exist, refreshed each time it opens, plus ports named on the command
// line (pseudo-terminals and symlinks appear in no port list). A port another
// program holds is marked busy; the item's value stays the port's name.

#include <QComboBox>
#include <QStringList>
#include <functional>

namespace gencfg {

class PortComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit PortComboBox(QWidget *parent = nullptr);

    void refresh();
    void addExtraPort(const QString &path);
    // Shows path as the current item without telling anyone.
    void showPort(const QString &path);
    void clearSelection();
    QString currentPort() const;
    // The port as the list names it, without a busy mark; the path itself for a port not listed.
    QString portText(const QString &path) const;

    // Tells whether another program holds a port; asked for every port at each refresh.
    using BusyProbe = std::function<bool(const QString &path)>;
    void setBusyProbe(BusyProbe probe) { m_busyProbe = std::move(probe); }

    // "COM 3" for a Windows port name, the name and the adapter's description elsewhere.
    static QString itemText(const QString &portName, const QString &description);
    // What follows the text of a port another program holds.
    static QString busyMark() { return tr(" — занят"); }

    // Network ports used before, listed after the local ones.
    void setRememberedPorts(const QStringList &names);
    static QString networkPortItemText() { return tr("Сетевой порт…"); }

Q_SIGNALS:
    void portPicked(const QString &path);
    // "Сетевой порт…" was chosen: the caller asks for the address.
    void networkPortAsked();

protected:
    void showPopup() override;

private:
    void addPort(const QString &text, const QString &path);

    QStringList m_extraPorts;
    QStringList m_rememberedPorts;
    BusyProbe m_busyProbe;
};

} // namespace gencfg
