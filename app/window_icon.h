#pragma once
// Brindle's icon, embedded in the program: an E2PROM chip with a download
// arrow, drawn at the sizes window managers ask for.
#include <QIcon>

namespace brindle::app {

QIcon brindleIcon();

}  // namespace brindle::app
