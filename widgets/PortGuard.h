#pragma once

// A click that cannot reach a controller says why, and goes no further.

#include "link/DeviceLink.h"
#include "link/LinkTexts.h"
#include "widgets/Messages.h"

namespace gencfg {

// True when a port is open; otherwise tells "Порт не выбран".
inline bool PortChosen(DeviceLink &link, Messages *messages)
{
    if (link.transport().isOpen())
        return true;
    if (messages)
        messages->warning(NoPortText());
    return false;
}

} // namespace gencfg
