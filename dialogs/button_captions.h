// The Slovak captions of the message-box buttons, by the result code each
// button returns; "&" marks the access key.
#pragma once

#include <QString>

namespace dialogs {

QString buttonCaption(int resultCode);

} // namespace dialogs
