#include "app/window_icon.h"

// The resources live in a static library; nothing else would pull their
// registration into the program. The call must stand outside any namespace.
static void registerIconResources() {
    Q_INIT_RESOURCE(brindle);
}

namespace brindle::app {

QIcon brindleIcon() {
    static const bool registered = (registerIconResources(), true);
    static_cast<void>(registered);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/brindle/brindle-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace brindle::app
