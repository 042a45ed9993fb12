// The picture lists, loaded from the resources compiled into this library.
#include "resources/Images.h"

#include <QString>

// The resources of a static library must be registered by name before first use, from outside
// any namespace.
static void RegisterResources() {
    Q_INIT_RESOURCE(orvelle);
}

namespace orvelle {

namespace {

QList<QIcon> LoadIcons(std::initializer_list<const char*> names) {
    static const bool registered = (RegisterResources(), true);
    (void)registered;
    QList<QIcon> icons;
    for (const char* name : names)
        icons.append(
            QIcon(QStringLiteral(":/orvelle/icons/") + QLatin1String(name) + QStringLiteral(".svg")));
    return icons;
}

} // namespace

const QList<QIcon>& DeviceImages() {
    static const QList<QIcon> images =
        LoadIcons({"other", "workstation", "laptop", "pda", "monitor", "lanaccess", "phone", "audio",
                   "peripheral", "scanner", "camera", "printer", "modem", "serial"});
    return images;
}

const QList<QIcon>& TabImages() {
    static const QList<QIcon> images = LoadIcons({"tab-network", "tab-log"});
    return images;
}

QIcon ProgramIcon() {
    return LoadIcons({"orvelle"}).first();
}

} // namespace orvelle
