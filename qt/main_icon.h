#pragma once

#include <QIcon>

namespace meravel {

// The application icon, IDR_MAIN_ICON: the drawn 16 and 32 pixel images where
// those sizes are asked for, the scalable picture for every other size.
QIcon LoadMainIcon();

} // namespace meravel
