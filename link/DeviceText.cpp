#include "link/DeviceText.h"

#include <QTextCodec>

namespace gencfg {

QTextCodec *DeviceTextCodec()
{
    static QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    return codec;
}

} // namespace gencfg
