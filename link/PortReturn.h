#pragma once

// Telling a returning serial adapter from another device that appears under
// the same name. Kept apart from the port so the rule can be pinned without one.

#include <QString>
#include <optional>

namespace gencfg {

// What a port's name leads to.
enum class PortPath {
    Device,               // a device node, or a link to one
    PseudoTerminal,       // a bare pseudo-terminal
    LinkToPseudoTerminal, // a symbolic link to one, as a simulator makes
};

// A port as the system shows it: its name and, for USB adapters, what the
// adapter says it is.
struct PortIdentity
{
    // As opened: a device path, or a Windows port name such as "COM3".
    QString name;
    // Whether the system's port list holds it (a pseudo-terminal or a link is not listed).
    bool listed = false;
    std::optional<quint16> vendor;
    std::optional<quint16> product;
    QString serialNumber;
    PortPath path = PortPath::Device;
    // For a link to a pseudo-terminal, when the link itself was last changed (made) and when the
    // terminal was (handed out): status change times, nanoseconds since the epoch.
    qint64 linkChangedNs = 0;
    qint64 terminalChangedNs = 0;
    // When the port was lost, on the same clock; 0 while it is open.
    qint64 lostNs = 0;
};

// Now on the clock of the change times above.
qint64 WallClockNs();

// The port under name as the system shows it now, or nothing when it is not there.
std::optional<PortIdentity> PresentPort(const QString &name);
// What the system tells of an open port, at least its name.
PortIdentity IdentifyPort(const QString &name);

// Whether a port lost under this name is worth waiting for: the number of a
// bare pseudo-terminal goes to the next terminal anyone opens.
bool AwaitsReturn(const PortIdentity &lost);

// Whether what is present now under the lost port's name is the same adapter
// back: the name again and, where the system told them when it was opened,
// the same USB vendor, product and serial number. A link to a pseudo-terminal
// counts only when made anew since the port was lost, to a terminal no
// younger than the link: a link left behind leads to whatever terminal next
// gets the freed number.
bool IsSameAdapter(const PortIdentity &lost, const std::optional<PortIdentity> &present);

} // namespace gencfg
