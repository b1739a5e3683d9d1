#pragma once

#include <QString>

namespace gencfg {

// path with "-2", "-3", ... before its suffix, the first name no file has: "site.gcrec" gives "site-2.gcrec".
QString UnusedFileName(const QString &path);

} // namespace gencfg
