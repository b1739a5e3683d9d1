#pragma once

// The serial-port chooser (`AfPortComboBox1`): a drop-down list of the ports
// that exist, refreshed each time it opens, plus ports named on the command
// line (pseudo-terminals and symlinks appear in no port list).

#include <QComboBox>
#include <QStringList>

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

    // "COM 3" for a Windows port name, the name and the adapter's description elsewhere.
    static QString itemText(const QString &portName, const QString &description);

Q_SIGNALS:
    void portPicked(const QString &path);

protected:
    void showPopup() override;

private:
    QStringList m_extraPorts;
};

} // namespace gencfg
