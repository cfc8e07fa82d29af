// Qt's own Slovak texts (standard buttons, the file dialog).
#pragma once

class QCoreApplication;

namespace app {

// Loads and installs the Slovak translation of Qt's base module; false when
// it is not installed on this machine.
bool installSlovakTranslation(QCoreApplication& application);

} // namespace app
