// The application title that every box of the program carries.
#pragma once

#include <QString>

namespace dialogs {

inline QString applicationTitle() { return QStringLiteral("Velmorant"); }

} // namespace dialogs
