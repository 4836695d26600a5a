#include "program_resources.h"

// The resources live in a static library: register them before first use.
static void registerResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace ui {

QIcon programIcon()
{
    registerResources();
    return QIcon(QStringLiteral(":/datadict.png"));
}

QPixmap picture(const QString &name)
{
    registerResources();
    return QPixmap(QStringLiteral(":/") + name);
}

}  // namespace ui
